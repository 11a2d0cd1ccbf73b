#include "BankFileWriter.h"

#include "BankConversions.h"
#include "Cp1252.h"
#include "KvError.h"

#include <QIODevice>
#include <QSaveFile>

namespace {
constexpr int kColumns = 400;

QByteArray blankRecord(char type, int sequence)
{
    QByteArray r(kColumns, ' ');
    r[0] = type;
    BankFileWriter::put(r, 395, 400,
                        QStringLiteral("%1").arg(sequence % 1000000, 6, 10, QLatin1Char('0')));
    r.append("\r\n", 2);
    return r;
}

// The check digit a valid title carries, or what the test asked for; digits the check
// cannot read leave it blank (the import raises on them anyway).
QString digitFor(const QString& given, const QString& digits)
{
    if (!given.isEmpty())
        return given;
    try {
        return QString(QLatin1Char(BankConversions::CalculaDigito(Cp1252::encode(digits))));
    } catch (const KvError&) {
        return QStringLiteral(" ");
    }
}
} // namespace

BankFileWriter::BankFileWriter() = default;

BankFileWriter::BankFileWriter(QIODevice* out) : m_out(out) {}

void BankFileWriter::put(QByteArray& record, int first, int last, const QString& text)
{
    const QByteArray bytes = Cp1252::encode(text);
    const int width = last - first + 1;
    for (int i = 0; i < width; ++i)
        record[first - 1 + i] = i < bytes.size() ? bytes[i] : ' ';
}

QString BankFileWriter::cents(qint64 value)
{
    return QStringLiteral("%1").arg(value, 13, 10, QLatin1Char('0'));
}

QString BankFileWriter::ddmmyy(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("ddMMyy")) : QStringLiteral("000000");
}

QByteArray BankFileWriter::headerRecord(const QString& carteira, const QString& cedente,
                                        int sequence)
{
    QByteArray r = blankRecord('0', sequence);
    put(r, 2, 9, QStringLiteral("1REMESSA"));
    put(r, 10, 11, carteira);
    put(r, 12, 26, QStringLiteral("COBRANCA"));
    put(r, 47, 76, cedente);
    put(r, 77, 94, QStringLiteral("999BANCO RAVESSA"));
    return r;
}

QByteArray BankFileWriter::titleRecord(const Title& t, int sequence)
{
    QByteArray r = blankRecord('1', sequence);
    put(r, 2, 3, QStringLiteral("02"));
    put(r, 4, 4, t.multaCodigo);
    put(r, 5, 17, t.multa);
    put(r, 18, 23, t.multaData);
    put(r, 29, 36, t.contrato);
    put(r, 37, 37, digitFor(t.contratoDigito, t.agencia + t.contrato));
    put(r, 63, 66, t.agencia);
    put(r, 67, 76, t.nossoNumero);
    put(r, 77, 77, digitFor(t.nossoNumeroDigito, t.agencia + t.nossoNumero));
    put(r, 83, 97, t.cpfCnpjCedente);
    put(r, 98, 107, t.quantidade);
    put(r, 108, 108, t.carteira);
    put(r, 111, 120, t.seuNumero);
    put(r, 121, 126, t.vencimento);
    put(r, 127, 139, t.valor);
    put(r, 148, 149, t.especie);
    put(r, 150, 150, QStringLiteral("N"));
    put(r, 151, 156, t.emissao);
    put(r, 161, 173, t.jurosDia);
    put(r, 174, 179, t.descontoAte);
    put(r, 180, 192, t.desconto);
    put(r, 206, 218, t.abatimento);
    put(r, 221, 234, t.cpfCnpjSacado);
    put(r, 235, 274, t.sacado);
    put(r, 275, 314, t.endereco);
    put(r, 315, 326, t.bairro);
    put(r, 327, 334, t.cep);
    put(r, 335, 349, t.cidade);
    put(r, 350, 351, t.estado);
    put(r, 352, 381, t.avalista);
    put(r, 394, 394, t.moeda);
    for (const auto& [first, bytes] : t.columns) {
        for (qsizetype i = 0; i < bytes.size() && first - 1 + i < kColumns; ++i)
            r[first - 1 + i] = bytes[i];
    }
    return r;
}

QByteArray BankFileWriter::textRecord(char type, const QString& text, int sequence)
{
    QByteArray r = blankRecord(type, sequence);
    put(r, 2, 391, text);
    return r;
}

QByteArray BankFileWriter::trailerRecord(int sequence)
{
    return blankRecord('9', sequence);
}

BankFileWriter& BankFileWriter::add(const QByteArray& record)
{
    if (m_out)
        m_out->write(record);
    else
        m_bytes += record;
    return *this;
}

BankFileWriter& BankFileWriter::header(const QString& carteira, const QString& cedente)
{
    return add(headerRecord(carteira, cedente, ++m_sequence));
}

BankFileWriter& BankFileWriter::title(const Title& t)
{
    return add(titleRecord(t, ++m_sequence));
}

BankFileWriter& BankFileWriter::message(const QString& text)
{
    return add(textRecord('2', text, ++m_sequence));
}

BankFileWriter& BankFileWriter::instruction(const QString& text)
{
    return add(textRecord('3', text, ++m_sequence));
}

BankFileWriter& BankFileWriter::trailer()
{
    return add(trailerRecord(++m_sequence));
}

BankFileWriter& BankFileWriter::raw(const QByteArray& bytes)
{
    return add(bytes);
}

bool BankFileWriter::save(const QString& path) const
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(m_bytes);
    return f.commit();
}

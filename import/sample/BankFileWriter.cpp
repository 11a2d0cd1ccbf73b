#include "BankFileWriter.h"

#include "BankConversions.h"
#include "Cp1252.h"
#include "KvError.h"

#include <QIODevice>
#include <QSaveFile>

using namespace BankLayout;

namespace {
constexpr int kColumns = 400;

QByteArray blankRecord(char type, int sequence)
{
    QByteArray r(kColumns, ' ');
    r[kType.first - 1] = type;
    BankFileWriter::put(r, kSequence,
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

void BankFileWriter::put(QByteArray& record, BankLayout::Field field, const QString& text)
{
    const QByteArray bytes = Cp1252::encode(text);
    for (int i = 0; i < field.width(); ++i)
        record[field.first - 1 + i] = i < bytes.size() ? bytes[i] : ' ';
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
    put(r, kHeaderRemessa, QStringLiteral("1REMESSA"));
    put(r, kHeaderCarteira, carteira);
    put(r, kHeaderServico, QStringLiteral("COBRANCA"));
    put(r, kHeaderCedente, cedente);
    put(r, kHeaderBanco, QStringLiteral("999BANCO RAVESSA"));
    return r;
}

QByteArray BankFileWriter::titleRecord(const Title& t, int sequence)
{
    QByteArray r = blankRecord('1', sequence);
    put(r, kInscricao, QStringLiteral("02"));
    put(r, kMultaCodigo, t.multaCodigo);
    put(r, kMulta, t.multa);
    put(r, kMultaData, t.multaData);
    put(r, kContrato, t.contrato);
    put(r, kContratoDigito, digitFor(t.contratoDigito, t.agencia + t.contrato));
    put(r, kAgencia, t.agencia);
    put(r, kNossoNumero, t.nossoNumero);
    put(r, kNossoNumeroDigito, digitFor(t.nossoNumeroDigito, t.agencia + t.nossoNumero));
    put(r, kCpfCnpjCedente, t.cpfCnpjCedente);
    put(r, kQuantidade, t.quantidade);
    put(r, kCarteira, t.carteira);
    put(r, kSeuNumero, t.seuNumero);
    put(r, kVencimento, t.vencimento);
    put(r, kValor, t.valor);
    put(r, kEspecie, t.especie);
    put(r, kAceite, QStringLiteral("N"));
    put(r, kEmissao, t.emissao);
    put(r, kJurosDia, t.jurosDia);
    put(r, kDescontoAte, t.descontoAte);
    put(r, kDesconto, t.desconto);
    put(r, kAbatimento, t.abatimento);
    put(r, kCpfCnpjSacado, t.cpfCnpjSacado);
    put(r, kSacado, t.sacado);
    put(r, kEndereco, t.endereco);
    put(r, kBairro, t.bairro);
    put(r, kCep, t.cep);
    put(r, kCidade, t.cidade);
    put(r, kEstado, t.estado);
    put(r, kAvalista, t.avalista);
    put(r, kMoeda, t.moeda);
    for (const auto& [first, bytes] : t.columns) {
        for (qsizetype i = 0; i < bytes.size() && first - 1 + i < kColumns; ++i)
            r[first - 1 + i] = bytes[i];
    }
    return r;
}

QByteArray BankFileWriter::textRecord(char type, const QString& text, int sequence)
{
    QByteArray r = blankRecord(type, sequence);
    put(r, kTexto, text);
    return r;
}

QByteArray BankFileWriter::pixRecord(const QString& payload, int sequence)
{
    QByteArray r = blankRecord('4', sequence);
    put(r, kPixMarca, QStringLiteral("PIX"));
    put(r, kPixPayload, payload);
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

BankFileWriter& BankFileWriter::pix(const QString& payload)
{
    return add(pixRecord(payload, ++m_sequence));
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

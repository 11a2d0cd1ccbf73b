#include "BloquetoIndex.h"

#include "CsvCell.h"

namespace {
const char kSeparator = ';';
const char* const kEnd = "\r\n";
} // namespace

QString BloquetoIndex::amount(qint64 cents)
{
    const qint64 whole = cents < 0 ? -cents : cents;
    return QStringLiteral("%1%2,%3")
        .arg(cents < 0 ? QStringLiteral("-") : QString())
        .arg(whole / 100)
        .arg(whole % 100, 2, 10, QLatin1Char('0'));
}

QByteArray BloquetoIndex::header()
{
    return QByteArrayLiteral("\xEF\xBB\xBF"
                             "arquivo;seu_numero;nosso_numero;sacado;cpf_cnpj_sacado;"
                             "vencimento;valor;linha_digitavel") +
           kEnd;
}

QByteArray BloquetoIndex::field(const QString& text)
{
    return CsvCell::text(text, kSeparator);
}

QByteArray BloquetoIndex::line(const Line& l)
{
    const QString due =
        l.vencimento.isValid() ? l.vencimento.toString(QStringLiteral("dd/MM/yyyy")) : QString();
    // The file name, the date and the amount are the program's own; the rest came in the
    // bank file.
    const QByteArray fields[] = {CsvCell::figure(l.arquivo, kSeparator),
                                 field(l.seuNumero.trimmed()),
                                 field(l.nossoNumero.trimmed()),
                                 field(l.sacado.trimmed()),
                                 field(l.cpfCnpjSacado.trimmed()),
                                 CsvCell::figure(due, kSeparator),
                                 CsvCell::figure(amount(l.cents), kSeparator),
                                 field(l.linhaDigitavel)};
    QByteArray out;
    for (const QByteArray& f : fields) {
        if (&f != fields)
            out += kSeparator;
        out += f;
    }
    return out + kEnd;
}

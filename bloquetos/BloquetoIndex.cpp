#include "BloquetoIndex.h"

namespace {
const char kSeparator = ';';
const char* const kEnd = "\r\n";

QString amount(qint64 cents)
{
    const qint64 whole = cents < 0 ? -cents : cents;
    return QStringLiteral("%1%2,%3")
        .arg(cents < 0 ? QStringLiteral("-") : QString())
        .arg(whole / 100)
        .arg(whole % 100, 2, 10, QLatin1Char('0'));
}
} // namespace

QByteArray BloquetoIndex::header()
{
    return QByteArrayLiteral("\xEF\xBB\xBF"
                             "arquivo;seu_numero;nosso_numero;sacado;cpf_cnpj_sacado;"
                             "vencimento;valor;linha_digitavel") +
           kEnd;
}

QByteArray BloquetoIndex::field(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    if (!bytes.contains(kSeparator) && !bytes.contains('"') && !bytes.contains('\n') &&
        !bytes.contains('\r'))
        return bytes;
    QByteArray quoted = bytes;
    quoted.replace('"', QByteArrayLiteral("\"\""));
    return '"' + quoted + '"';
}

QByteArray BloquetoIndex::line(const Line& l)
{
    const QString due =
        l.vencimento.isValid() ? l.vencimento.toString(QStringLiteral("dd/MM/yyyy")) : QString();
    const QString fields[] = {
        l.arquivo,          l.seuNumero.trimmed(),     l.nossoNumero.trimmed(),
        l.sacado.trimmed(), l.cpfCnpjSacado.trimmed(), due,
        amount(l.cents),    l.linhaDigitavel};
    QByteArray out;
    for (const QString& f : fields) {
        if (&f != fields)
            out += kSeparator;
        out += field(f);
    }
    return out + kEnd;
}

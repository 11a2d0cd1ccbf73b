#include "BloquetoMessage.h"

#include <QRegularExpression>

QString BloquetoMessage::defaultSubject()
{
    return QStringLiteral("Bloqueto {nosso_numero} - vencimento {vencimento} - {beneficiario}");
}

QString BloquetoMessage::defaultBody()
{
    return QStringLiteral("Prezado(a) {sacado},\n"
                          "\n"
                          "Segue anexo o bloqueto de cobrança emitido por {beneficiario}, "
                          "nosso número {nosso_numero}, com vencimento em {vencimento}, no "
                          "valor de {valor}.\n"
                          "\n"
                          "Linha digitável: {linha_digitavel}\n"
                          "PIX copia e cola: {pix}\n"
                          "\n"
                          "Se o pagamento já foi feito, desconsidere esta mensagem.\n"
                          "\n"
                          "Atenciosamente,\n"
                          "{beneficiario}\n");
}

QString BloquetoMessage::money(qint64 cents)
{
    const bool negative = cents < 0;
    const qint64 whole = (negative ? -cents : cents) / 100;
    const qint64 frac = (negative ? -cents : cents) % 100;
    QString digits = QString::number(whole);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char('.'));
    return QStringLiteral("R$ %1%2,%3")
        .arg(negative ? QStringLiteral("-") : QString(), digits)
        .arg(frac, 2, 10, QLatin1Char('0'));
}

QHash<QString, QString> BloquetoMessage::values(const Fields& f)
{
    return {
        {QStringLiteral("sacado"), f.sacado.trimmed()},
        {QStringLiteral("vencimento"),
         f.vencimento.isValid() ? f.vencimento.toString(QStringLiteral("dd/MM/yyyy")) : QString()},
        {QStringLiteral("valor"), money(f.cents)},
        {QStringLiteral("linha_digitavel"), f.linhaDigitavel.trimmed()},
        {QStringLiteral("pix"), f.pix.trimmed()},
        {QStringLiteral("beneficiario"), f.beneficiario.trimmed()},
        {QStringLiteral("nosso_numero"), f.nossoNumero.trimmed()},
    };
}

QString BloquetoMessage::fill(const QString& templ, const Fields& fields)
{
    static const QRegularExpression field(QStringLiteral("\\{([a-z_]+)\\}"));
    const QHash<QString, QString> v = values(fields);
    QString out;
    qsizetype at = 0;
    for (auto it = field.globalMatch(templ); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += templ.mid(at, m.capturedStart() - at);
        const auto found = v.constFind(m.captured(1));
        out += found == v.constEnd() ? m.captured(0) : *found;
        at = m.capturedEnd();
    }
    out += templ.mid(at);
    return out;
}

QString BloquetoMessage::subject(const QString& templ, const Fields& fields)
{
    QString s = fill(templ.isEmpty() ? defaultSubject() : templ, fields);
    static const QRegularExpression breaks(QStringLiteral("[\\r\\n\\t]+"));
    return s.replace(breaks, QStringLiteral(" ")).trimmed();
}

QString BloquetoMessage::body(const QString& templ, const Fields& fields)
{
    QString t = templ.isEmpty() ? defaultBody() : templ;
    if (templ.isEmpty() && fields.pix.trimmed().isEmpty())
        t.remove(QStringLiteral("PIX copia e cola: {pix}\n"));
    QString b = fill(t, fields);
    b.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    b.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    b.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return b;
}

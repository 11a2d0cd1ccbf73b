#include "BloquetoTexts.h"

#include "Regional.h"

QString BloquetoTexts::dueDateCaption(bool aVista, bool contraApresentacao, const QDate& datVen)
{
    if (aVista)
        return QStringLiteral("À Vista");
    if (contraApresentacao)
        return QStringLiteral("C/Apres.");
    return Regional::shortDate(datVen);
}

QStringList BloquetoTexts::slices(const QString& text)
{
    auto isBlank = [](QChar c) { return c.unicode() <= 0x20; };
    QStringList lines;
    for (int k = 0; k < kSliceCount; ++k) {
        QStringView slice = QStringView(text).mid(qsizetype(k) * kSliceLength, kSliceLength);
        while (!slice.isEmpty() && isBlank(slice.front()))
            slice = slice.mid(1);
        while (!slice.isEmpty() && isBlank(slice.back()))
            slice.chop(1);
        lines << slice.toString();
    }
    return lines;
}

QStringList BloquetoTexts::chargeInstructions(const Charges& c)
{
    const QString blank = QStringLiteral(" ");
    auto money = [](qint64 cents) { return Regional::formatCents(cents); };
    QStringList lines;
    lines << (c.jurosDia != 0
                  ? QStringLiteral("* COBRAR JUROS MORA/DIA DE R$ %1").arg(money(c.jurosDia))
                  : blank);
    lines << (c.multa != 0
                  ? QStringLiteral("* COBRAR MULTA DE R$ %1 A PARTIR DE ").arg(money(c.multa)) +
                        Regional::shortDate(c.datMulta)
                  : blank);
    lines << (c.desconto != 0
                  ? QStringLiteral("* CONCEDER DESCONTO DE R$ %1 ATÉ %2")
                        .arg(money(c.desconto), c.descontoLimite.isValid()
                                                    ? Regional::dateTimeText(c.descontoLimite)
                                                    : QString())
                  : blank);
    lines << (c.abatimento != 0
                  ? QStringLiteral("* CONCEDER ABATIMENTO DE R$ %1").arg(money(c.abatimento))
                  : blank);
    return lines;
}

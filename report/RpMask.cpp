#include "RpMask.h"

#include "Regional.h"

#include <QLocale>
#include <cmath>

QString RpMask::formatNumber(double value, const QString& mask)
{
    // The first section is for every value; a second one, after ';', for negatives.
    const QStringList sections = mask.split(QLatin1Char(';'));
    QString m = sections.value(0);
    bool negativeSection = false;
    if (value < 0 && sections.size() > 1 && !sections.at(1).isEmpty()) {
        m = sections.at(1);
        negativeSection = true;
    }
    QString prefix, suffix;
    int intZeros = 0, decZeros = 0, decHashes = 0;
    bool thousands = false, seenPoint = false, seenDigit = false;
    for (qsizetype i = 0; i < m.size(); ++i) {
        const QChar c = m.at(i);
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype end = m.indexOf(c, i + 1);
            const QString lit = m.mid(i + 1, (end < 0 ? m.size() : end) - i - 1);
            (seenDigit ? suffix : prefix) += lit;
            i = end < 0 ? m.size() : end;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            seenDigit = true;
            if (!seenPoint)
                intZeros += c == QLatin1Char('0');
            else if (c == QLatin1Char('0'))
                decZeros += 1 + decHashes, decHashes = 0;
            else
                ++decHashes;
        } else if (c == QLatin1Char(',')) {
            thousands = true;
        } else if (c == QLatin1Char('.')) {
            seenPoint = true;
        } else {
            (seenDigit ? suffix : prefix) += c;
        }
    }
    const int maxDec = decZeros + decHashes;
    const double abs = std::fabs(value);
    QString digits = QString::number(abs, 'f', maxDec);
    QString intPart = digits.section(QLatin1Char('.'), 0, 0);
    QString decPart = digits.section(QLatin1Char('.'), 1, 1);
    while (decPart.size() > decZeros && decPart.endsWith(QLatin1Char('0')))
        decPart.chop(1);
    if (intPart == QLatin1String("0") && intZeros == 0)
        intPart.clear();
    while (intPart.size() < intZeros)
        intPart.prepend(QLatin1Char('0'));
    if (thousands) {
        for (qsizetype pos = intPart.size() - 3; pos > 0; pos -= 3)
            intPart.insert(pos, Regional::thousandSeparator());
    }
    QString out = intPart;
    if (!decPart.isEmpty())
        out += Regional::decimalSeparator() + decPart;
    bool nonZero = false;
    for (QChar c : out)
        nonZero = nonZero || (c >= QLatin1Char('1') && c <= QLatin1Char('9'));
    const bool negative = value < 0 && !negativeSection && nonZero;
    return (negative ? QStringLiteral("-") : QString()) + prefix + out + suffix;
}

QString RpMask::formatDateTime(const QDateTime& value, const QString& mask)
{
    const QDate d = value.date();
    const QTime t = value.time();
    QString out;
    bool afterHour = false;
    qsizetype i = 0;
    auto run = [&](QChar c) {
        qsizetype k = 0;
        while (i + k < mask.size() && mask.at(i + k).toLower() == c)
            ++k;
        i += k;
        return k;
    };
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    static const QLocale br(QLocale::Portuguese, QLocale::Brazil);
    while (i < mask.size()) {
        const QChar c = mask.at(i).toLower();
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype end = mask.indexOf(mask.at(i), i + 1);
            out += mask.mid(i + 1, (end < 0 ? mask.size() : end) - i - 1);
            i = end < 0 ? mask.size() : end + 1;
            continue;
        }
        if (c == QLatin1Char('d')) {
            const qsizetype k = run(c);
            out += k == 1   ? QString::number(d.day())
                   : k == 2 ? two(d.day())
                            : br.dayName(d.dayOfWeek(),
                                         k == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
        } else if (c == QLatin1Char('m')) {
            const qsizetype k = run(c);
            if (afterHour && k <= 2) {
                out += k == 1 ? QString::number(t.minute()) : two(t.minute());
            } else {
                out += k == 1   ? QString::number(d.month())
                       : k == 2 ? two(d.month())
                                : br.monthName(d.month(),
                                               k == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
            }
            afterHour = false;
            continue;
        } else if (c == QLatin1Char('y')) {
            const qsizetype k = run(c);
            out += k <= 2 ? two(d.year() % 100) : QString::number(d.year());
        } else if (c == QLatin1Char('h')) {
            const qsizetype k = run(c);
            out += k == 1 ? QString::number(t.hour()) : two(t.hour());
            afterHour = true;
            continue;
        } else if (c == QLatin1Char('n')) {
            const qsizetype k = run(c);
            out += k == 1 ? QString::number(t.minute()) : two(t.minute());
        } else if (c == QLatin1Char('s')) {
            const qsizetype k = run(c);
            out += k == 1 ? QString::number(t.second()) : two(t.second());
        } else {
            out += mask.at(i++);
            continue;
        }
        afterHour = false;
    }
    return out;
}

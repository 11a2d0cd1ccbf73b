#include "Regional.h"

#include <QLocale>
#include <cmath>

namespace {
QChar g_decimal = QLatin1Char(',');
QChar g_thousands = QLatin1Char('.');
bool g_initialised = false;

void ensure()
{
    if (!g_initialised)
        Regional::init();
}
} // namespace

void Regional::init()
{
    g_initialised = true;
    const QLocale sys = QLocale::system();
    if (sys.language() == QLocale::C) {
        g_decimal = QLatin1Char(',');
        g_thousands = QLatin1Char('.');
        return;
    }
    const QString dec = sys.decimalPoint();
    const QString grp = sys.groupSeparator();
    g_decimal = dec.isEmpty() ? QLatin1Char(',') : dec.at(0);
    g_thousands = grp.isEmpty() ? QLatin1Char('.') : grp.at(0);
}

QChar Regional::decimalSeparator()
{
    ensure();
    return g_decimal;
}

QChar Regional::thousandSeparator()
{
    ensure();
    return g_thousands;
}

void Regional::setSeparators(QChar decimal, QChar thousands)
{
    g_initialised = true;
    g_decimal = decimal;
    g_thousands = thousands;
}

QString Regional::shortDate(const QDate& date)
{
    if (!date.isValid())
        return {};
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

QDate Regional::parseShortDate(const QString& text)
{
    return QDate::fromString(text.trimmed(), QStringLiteral("dd/MM/yyyy"));
}

QString Regional::timeText(const QTime& time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

QString Regional::dateTimeText(const QDateTime& when)
{
    QString text = shortDate(when.date());
    const QTime t = when.time();
    if (t.hour() != 0 || t.minute() != 0 || t.second() != 0)
        text += QLatin1Char(' ') + timeText(t);
    return text;
}

qint64 Regional::toCents(double amount)
{
    return static_cast<qint64>(std::llround(amount * 100.0));
}

double Regional::fromCents(qint64 cents)
{
    return static_cast<double>(cents) / 100.0;
}

QString Regional::formatCents(qint64 cents, bool thousands)
{
    ensure();
    const bool negative = cents < 0;
    const quint64 magnitude =
        negative ? 0 - static_cast<quint64>(cents) : static_cast<quint64>(cents);
    const QString whole = QString::number(magnitude / 100);
    QString grouped;
    if (thousands) {
        const qsizetype n = whole.size();
        for (qsizetype i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0)
                grouped += g_thousands;
            grouped += whole.at(i);
        }
    } else {
        grouped = whole;
    }
    const int frac = static_cast<int>(magnitude % 100);
    QString out = negative ? QStringLiteral("-") : QString();
    out += grouped + g_decimal + QString::number(frac).rightJustified(2, QLatin1Char('0'));
    return out;
}

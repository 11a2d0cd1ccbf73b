#include "Clock.h"

namespace {
QDateTime g_fixed;
}

QDateTime Clock::now()
{
    return g_fixed.isValid() ? g_fixed : QDateTime::currentDateTime();
}

QDate Clock::today()
{
    if (g_fixed.isValid())
        return g_fixed.date();
    // Reports ask for today once a row, and the local time costs a look at the time zone
    // files each time. Local dates change on whole seconds of the system clock (time zone
    // offsets are whole minutes), so the date of a second stands for all of it.
    thread_local qint64 second = -1;
    thread_local QDate date;
    const qint64 s = QDateTime::currentSecsSinceEpoch();
    if (s != second) {
        date = QDateTime::currentDateTime().date();
        second = s;
    }
    return date;
}

void Clock::setFixed(const QDateTime& when)
{
    g_fixed = when;
}

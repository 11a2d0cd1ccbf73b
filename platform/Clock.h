#pragma once

#include <QDate>
#include <QDateTime>

// Today's date and the current time. Tests fix them; the program reads the system clock.
namespace Clock {
QDateTime now();
QDate today();
void setFixed(const QDateTime& when); // an invalid value returns to the system clock
} // namespace Clock

#include "TestEnvironment.h"

#include "Clock.h"
#include "Database.h"
#include "Regional.h"

TestEnvironment::TestEnvironment(Formats formats, const QDateTime& now) : m_now(now)
{
    if (formats == BrazilianFormats)
        Regional::setSeparators(QLatin1Char(','), QLatin1Char('.'));
    Clock::setFixed(m_now);
}

TestEnvironment::~TestEnvironment()
{
    Database::closeAll();
    Clock::setFixed(QDateTime());
}

void TestEnvironment::cleanup()
{
    Database::closeAll();
    Clock::setFixed(m_now);
}

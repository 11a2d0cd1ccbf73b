#include "TestEnvironment.h"

#include "Clock.h"
#include "Database.h"
#include "Regional.h"

TestEnvironment::TestEnvironment(Formats formats, const QDateTime& now)
    : m_formats(formats), m_now(now)
{
    cleanup();
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
    if (m_formats == BrazilianFormats)
        Regional::setSeparators(QLatin1Char(','), QLatin1Char('.'));
}

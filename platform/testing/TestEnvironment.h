#pragma once

#include <QDateTime>

// The process-wide state that the program keeps and the tests set: the clock, the number
// formats and the open database connections. One member of the test class, made before any
// test runs; cleanup(), called from the class's cleanup() slot, and the destructor put back
// what a test may have changed, so that no test sees another's clock or database.
//
//     TestEnvironment m_env{TestEnvironment::BrazilianFormats, kToday};
//     void cleanup() { m_env.cleanup(); }
class TestEnvironment {
public:
    enum Formats {
        SystemFormats,    // the separators of the machine's locale, untouched
        BrazilianFormats, // ',' before the centavos and '.' between thousands
    };
    // The clock stays fixed at `now` for every test (the system clock when it is invalid).
    explicit TestEnvironment(Formats formats = SystemFormats, const QDateTime& now = {});
    ~TestEnvironment();
    TestEnvironment(const TestEnvironment&) = delete;
    TestEnvironment& operator=(const TestEnvironment&) = delete;

    // After each test: every database connection closed (the next test's program folder
    // opens its own), the clock back at `now` and the formats back as chosen.
    void cleanup();
    QDateTime now() const { return m_now; }

private:
    Formats m_formats;
    QDateTime m_now;
};

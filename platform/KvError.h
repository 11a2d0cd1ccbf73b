#pragma once

#include <QString>
#include <exception>

// The one error type of the program: a failure carries the text the user will read.
// Windows do not catch it; the top-level handler shows it and ends the command.
class KvError : public std::exception {
public:
    explicit KvError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// Conversion failures (a date, a number) get their own type so that the one guarded
// conversion of the import can tell them from engine failures.
class KvConversionError : public KvError {
public:
    using KvError::KvError;
};

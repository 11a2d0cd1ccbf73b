#pragma once

#include <QString>
#include <exception>

// The one error type of the program: a failure carries the text the user will read.
// Windows do not catch it; the top-level handler shows it and ends the command.
//
// Where the message is a fixed text of the system (often the framework's terse English,
// "Unable to write to ...", "File not found") or an engine's own words, the advice says in
// Portuguese what happened to which file, folder or port and what to do; the error box
// shows the message and the advice under it.
class KvError : public std::exception {
public:
    explicit KvError(QString message, QString advice = QString())
        : m_message(std::move(message)), m_advice(std::move(advice)), m_utf8(userText().toUtf8())
    {
    }
    const QString& message() const noexcept { return m_message; }
    const QString& advice() const noexcept { return m_advice; }
    // What the error box shows.
    QString userText() const
    {
        return m_advice.isEmpty() ? m_message : m_message + QLatin1Char('\n') + m_advice;
    }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QString m_advice;
    QByteArray m_utf8;
};

// Conversion failures (a date, a number) get their own type so that the one guarded
// conversion of the import can tell them from engine failures.
class KvConversionError : public KvError {
public:
    using KvError::KvError;
};

#pragma once

#include <QByteArray>

// Where the dot-matrix stream goes. Lines are raw bytes; the channel adds CR LF and sends
// them unchanged. Every failure raises KvError with the input/output error text.
class PrinterChannel {
public:
    virtual ~PrinterChannel() = default;

    virtual void open() = 0;
    virtual bool isOpen() const = 0;
    // One line: its bytes, then CR LF.
    virtual void writeLine(const QByteArray& bytes) = 0;
    // Hands every completed line to the printer before the caller waits on the user.
    virtual void deliver() = 0;
    // The run ended without an error: what was written is the output. A channel that
    // stages its output (a file replaced only when complete) makes it final here.
    virtual void finish() {}
    // Releases the channel; never raises, so that it can run on every path out of a run.
    // Output staged and not finished is dropped, leaving what was there before.
    virtual void close() noexcept = 0;
};

#pragma once

#include "PrinterChannel.h"

#include <QString>

// The printer port of the dot-matrix forms. A port name ("LPT1") is looked up in section
// [Portas] of the kvcob.conf in use (ProgramDir::confFile): its value is a device file
// ("/dev/usb/lp0") or a raw CUPS queue ("cups:QUEUE"); with no entry, LPT1 is /dev/lp0.
// A name "cups:QUEUE" not configured is that queue; opening a queue checks that it takes
// and prints jobs now (see CupsQueues::checkReady). Any other name is a plain file, created
// or replaced (kvcob-lote writes to files). A plain file is written beside its place under
// a temporary name and put in place by finish(), so that a run that fails (a full disk, a
// profile file that cannot be written) leaves the file of before as it was; an existing
// file that is not a regular file (a device, a pipe) is written directly.
//
// A device is written line by line without buffering. A CUPS queue collects the lines
// and sends what it holds as one raw job ("lp -d QUEUE -o raw") at each deliver(); lines
// still held when the channel closes belong to a run that failed and are dropped. A job
// the queue refuses raises KvError saying that nothing of it was printed.
// A port is never created: a missing device is an unplugged printer, not a new file.
class PortChannel final : public PrinterChannel {
public:
    explicit PortChannel(QString name);
    ~PortChannel() override;
    PortChannel(const PortChannel&) = delete;
    PortChannel& operator=(const PortChannel&) = delete;

    struct Target {
        enum class Kind { Device, File, CupsQueue };
        Kind kind;
        QString path; // device or file path, or the queue name
    };
    static Target resolve(const QString& name);
    // The input/output error text of a system error number ("File not found", "I/O error 6").
    static QString ioErrorText(int errorNumber);

    void open() override;
    bool isOpen() const override { return m_fd >= 0 || m_cupsOpen; }
    void writeLine(const QByteArray& bytes) override;
    void deliver() override;
    void finish() override;
    void close() noexcept override;

private:
    void writeAll(const QByteArray& bytes);
    // What the user is told beside the system's error text: the port, where it points and
    // what to change.
    QString advice(int errorNumber, bool writing) const;
    void submitJob();
    void openStaged(const QString& finalPath);

    QString m_name;
    Target m_target;
    int m_fd = -1;
    bool m_cupsOpen = false;
    QByteArray m_pending; // CUPS only: lines not yet sent
    QString m_stagedPath; // plain files: the temporary file being written
    QString m_finalPath;  // and the place it goes when the run is complete
};

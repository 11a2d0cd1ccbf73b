#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A fresh program directory for one test: the database, the profile files and
// kvcob.conf of the test live there. Restores the previous directory when it goes.
class TempProgramDir {
public:
    TempProgramDir();
    ~TempProgramDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    bool isValid() const { return m_dir.isValid(); }

private:
    QTemporaryDir m_dir;
};

namespace TestSupport {
QString sourceDir(); // the repository's top folder
QString binaryDir(); // the build's top folder
// Runs an outside program (zbarimg, pdftotext, ...) and returns its standard output;
// exitCode receives its exit status (-1 when it could not start).
QByteArray run(const QString& program, const QStringList& args, int* exitCode = nullptr,
               int timeoutMs = 120000);
bool haveProgram(const QString& program);
// The bytes of a file; empty when it cannot be read.
QByteArray readFile(const QString& path);

// One run of the batch tool of the build: `kvcob-lote --dir DIR ARGS...`.
struct ToolRun {
    int exitCode = -1;         // -1 when it did not end in time or crashed
    QString out;               // standard output as written
    QString err;               // standard error, its lines joined, without Qt's own start-up notes
    QStringList lines() const; // the non-empty lines of the output
};
ToolRun kvcobLote(const QString& dir, const QStringList& args, int timeoutMs = 120000);
// The path of one of the build's programs (kvcob-lote, kvcob-gera-exemplo, ...).
QString program(const QString& name);
// A bank file of `titles` generated titles at `path` (kvcob-gera-exemplo); false on failure.
bool generateBankFile(const QString& path, int titles);
} // namespace TestSupport

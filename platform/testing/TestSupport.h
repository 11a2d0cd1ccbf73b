#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

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
// Writes `bytes` as the whole of the file at `path` (the file a test starts from: one in
// the way, a damaged one); false when it cannot be written in full.
bool writeFile(const QString& path, const QByteArray& bytes);
// The same for a file the test cannot go on without: answers its path, raises KvError when
// it cannot be written in full.
QString writtenFile(const QString& path, const QByteArray& bytes);
// The message of the KvError that `action` throws; empty when it throws none.
QString errorOf(const std::function<void()>& action);

// One run of the batch tool of the build: `kvcob-lote --dir DIR ARGS...`.
struct ToolRun {
    int exitCode = -1;         // -1 when it did not end in time or crashed
    QString out;               // standard output as written
    QString err;               // standard error, its lines joined, without Qt's own start-up notes
    QString errText;           // the same with its line breaks, trimmed
    QStringList lines() const; // the non-empty lines of the output
};
ToolRun kvcobLote(const QString& dir, const QStringList& args, int timeoutMs = 120000);
// The same with `input` on its standard input (then closed).
ToolRun kvcobLote(const QString& dir, const QStringList& args, const QByteArray& input,
                  int timeoutMs = 120000);
// The same on the database of the running test: closes the test's own connections first,
// as the tool opens the same file and must not meet them.
ToolRun kvcobLoteOnTestDatabase(const QString& dir, const QStringList& args,
                                int timeoutMs = 120000);
// The path of one of the build's programs (kvcob-lote, kvcob-gera-exemplo, ...).
QString program(const QString& name);
// A bank file of `titles` generated titles at `path` (kvcob-gera-exemplo); false on failure.
bool generateBankFile(const QString& path, int titles);

// Skips of tests that need something outside the test: a database server, a print server,
// a mail server, a full or small disk. Every such skip goes through skipOrFail (or the
// macro KV_SKIP_OR_FAIL), never through a bare QSKIP, so that a run that must prove
// everything ran can say so: with KVCOB_REQUIRE_ALL=1 in the environment (CI sets it) the
// skip is recorded as a failure with the same reason. A new fixture (an SMTP server, ...)
// skips through it too.
//
// The rule for a fixture: skip only when its programs (or driver) are not installed; when
// they are and the service still does not start, that is a failure (QFAIL/QVERIFY), never a
// skip. A skip that is part of the test's design (a case that does not apply to one engine)
// stays a plain QSKIP.
bool requireAll(); // KVCOB_REQUIRE_ALL is set to 1
// Records the skip (or, under KVCOB_REQUIRE_ALL, the failure) of the current test; the caller
// then returns at once. For helpers that cannot return from the test function themselves.
void skipOrFail(const QString& reason, const char* file, int line);

// Under root, runs the current test function and data row again in a child process under
// an unprivileged account (nobody), for the cases the superuser cannot meet: folders it may
// not write into, files it may not read. Answers true when it did so; *failure then holds
// what went wrong (empty when the child passed). Answers false when not root: the caller
// runs the case itself.
bool rerunUnprivileged(QString* failure);
} // namespace TestSupport

#define KV_SKIP_OR_FAIL(reason)                                                                    \
    do {                                                                                           \
        TestSupport::skipOrFail((reason), __FILE__, __LINE__);                                     \
        return;                                                                                    \
    } while (false)

// First line of a test that must run as an ordinary user: under root the case runs again as
// nobody and its outcome is this test's (see rerunUnprivileged).
#define KV_RUN_UNPRIVILEGED()                                                                      \
    do {                                                                                           \
        QString kvFailure_;                                                                        \
        if (TestSupport::rerunUnprivileged(&kvFailure_)) {                                         \
            if (!kvFailure_.isEmpty())                                                             \
                QFAIL(qPrintable(kvFailure_));                                                     \
            return;                                                                                \
        }                                                                                          \
    } while (false)

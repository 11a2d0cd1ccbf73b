#pragma once

#include "TestSupport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTest>

// A program directory whose alias cobrancaKV reaches one of the two engines: "sqlite" (the
// default file in the folder) or "postgres" (the executable's throwaway server, with the
// bloqueto table dropped so that the program creates it afresh). Tests over both engines
// take the engine as a data column and start with KV_ENGINE_DIR.
class EngineProgramDir : public TempProgramDir {
public:
    explicit EngineProgramDir(const QString& engine);

    static QStringList engines() { return {QStringLiteral("sqlite"), QStringLiteral("postgres")}; }

    bool ready() const { return m_ready; }
    // Not ready although the server is installed: the test fails instead of skipping.
    bool failed() const { return m_failed; }
    QString skipReason() const { return m_why; }
    bool isServer() const { return m_server; }
    // Rewrites kvcob.conf with the engine's section followed by `more` (other sections).
    void writeConf(const QByteArray& more = {}) const;
    // Runs a statement straight on the server, past the program's own layer (set-up of
    // hand-made tables, stopping a session); false when it fails. Server only.
    bool serverExec(const QString& statement, QString* error = nullptr) const;

private:
    bool m_server = false;
    bool m_ready = false;
    bool m_failed = false;
    QString m_why;
};

// Declares `dir` on the row's engine, skipping the row when that engine is not installed
// (KV_SKIP_OR_FAIL) and failing it when the engine is installed but not ready.
#define KV_ENGINE_DIR(dir, engine)                                                                 \
    EngineProgramDir dir(engine);                                                                  \
    if (!dir.ready()) {                                                                            \
        if (dir.failed())                                                                          \
            QFAIL(qPrintable(dir.skipReason()));                                                   \
        KV_SKIP_OR_FAIL(dir.skipReason());                                                         \
    }                                                                                              \
    static_assert(true)

// The whole test class over both engines: its initTestCase_data() calls this, and every test
// function then runs once per engine (QFETCH_GLOBAL), beside its own data rows.
inline void addEngineRows()
{
    QTest::addColumn<QString>("engine");
    for (const QString& engine : EngineProgramDir::engines())
        QTest::newRow(qPrintable(engine)) << engine;
}

// Declares `dir` on the global row's engine (see addEngineRows).
#define KV_GLOBAL_ENGINE_DIR(dir)                                                                  \
    QFETCH_GLOBAL(QString, engine);                                                                \
    KV_ENGINE_DIR(dir, engine)

// For a test of the file engine itself inside a class run over both engines.
#define KV_FILE_ENGINE_ONLY()                                                                      \
    do {                                                                                           \
        QFETCH_GLOBAL(QString, engine);                                                            \
        if (engine != QStringLiteral("sqlite"))                                                    \
            QSKIP("só se aplica ao arquivo SQLite");                                               \
    } while (false)

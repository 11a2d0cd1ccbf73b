#pragma once

#include "TestSupport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// A program directory whose alias cobrancaKV reaches one of the two engines: "sqlite" (the
// default file in the folder) or "postgres" (the executable's throwaway server, with the
// bloqueto table dropped so that the program creates it afresh). Tests over both engines
// take the engine as a data column and start with KV_ENGINE_DIR.
class EngineProgramDir : public TempProgramDir {
public:
    explicit EngineProgramDir(const QString& engine);

    static QStringList engines() { return {QStringLiteral("sqlite"), QStringLiteral("postgres")}; }

    bool ready() const { return m_ready; }
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
    QString m_why;
};

// Declares `dir` on the row's engine, skipping the row when that engine is not there.
#define KV_ENGINE_DIR(dir, engine)                                                               \
    EngineProgramDir dir(engine);                                                                \
    if (!dir.ready())                                                                            \
    QSKIP(qPrintable(dir.skipReason()))

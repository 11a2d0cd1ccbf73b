#pragma once

#include <QString>
#include <memory>

class PgImportLock;

// One import at a time per database: held for the whole of an import, acquired at once or
// refused at once with KvError (busyMessage()), never waited for. Released when the guard
// goes, and by the system when the process dies, however it dies.
//
// SQLite: an exclusive flock on "<database file>-carga" beside the database. PostgreSQL: an
// advisory lock of the database held by this desk's session (PgImportLock), which the
// server releases with the session when the desk dies.
//
// Re-entrant within a process: an import started while this process already holds the
// guard for the same database takes it again (the batch tool holds it around the schema
// check and the import).
class ImportGuard {
public:
    // What is loaded: each has its own lock, so that a return file and a bank file may be
    // processed side by side while two of a kind refuse each other. The sending of the
    // bloquetos by e-mail takes one too: two desks mailing at once would both find a title
    // not yet sent and both send it.
    enum class Load { BankFile, ReturnFile, Mailing };

    explicit ImportGuard(const QString& alias = QStringLiteral("cobrancaKV"),
                         Load load = Load::BankFile);
    ~ImportGuard();
    ImportGuard(const ImportGuard&) = delete;
    ImportGuard& operator=(const ImportGuard&) = delete;

    static QString busyMessage();
    static QString returnBusyMessage();
    static QString busyMessage(Load load);

private:
    QString m_key; // empty when nothing is held
    std::unique_ptr<PgImportLock> m_server;
};

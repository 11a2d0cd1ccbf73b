#pragma once

#include <QStringList>

// One statement of the program, with its text for each engine side by side: `sqlite` as the
// program writes it for its own file, `server` the PostgreSQL text where it must differ
// (empty: the server runs the SQLite text) and `why` the reason it differs. Lines are kept
// as the windows hold them. Every statement lives in one `…Statements` file of the store,
// next to the others over the same table (see StoreStatements.h for the pattern).
struct DbStatement {
    // A statement of one engine's own (the file's pragmas, the server's locks and COPY) is
    // never run on the other; its text for that other engine stays empty.
    enum class Runs { OnBoth, OnSqliteOnly, OnServerOnly };

    QStringList sqlite;
    QStringList server = {}; // empty: the server runs `sqlite` (a statement may leave it out)
    const char* why = nullptr;
    Runs runs = Runs::OnBoth;

    // A statement both engines run as written.
    static DbStatement onBoth(QStringList lines)
    {
        DbStatement s;
        s.sqlite = std::move(lines);
        return s;
    }

    const QStringList& text(bool onServer) const
    {
        return onServer && !server.isEmpty() ? server : sqlite;
    }
    QString joined(bool onServer) const { return text(onServer).join(QLatin1Char('\n')); }
    bool runsOn(bool onServer) const
    {
        return runs == Runs::OnBoth || (runs == Runs::OnServerOnly) == onServer;
    }
};

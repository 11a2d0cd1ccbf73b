#pragma once

#include <QStringList>

// One statement of the program, with its text for each engine side by side: `sqlite` as the
// program writes it for its own file, `server` the PostgreSQL text where it must differ
// (empty: the server runs the SQLite text) and `why` the reason it differs. Lines are kept
// as the windows hold them. Every statement lives in one `…Statements` file of the store,
// next to the others over the same table.
struct DbStatement {
    QStringList sqlite;
    QStringList server;
    const char* why = nullptr;

    const QStringList& text(bool onServer) const
    {
        return onServer && !server.isEmpty() ? server : sqlite;
    }
};

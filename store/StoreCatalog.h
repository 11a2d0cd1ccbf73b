#pragma once

#include "DbStatement.h"

#include <QList>
#include <QString>
#include <QVariant>

// Every table the store creates and every statement it runs, in one list each (see
// StoreStatements.h for how statements are kept). A new table or statement is a line here.
namespace StoreCatalog {
// A table of the program: Database creates it, when missing, on both engines.
struct Table {
    QString name;
    DbStatement (*create)();
};
const QList<Table>& tables();

// One statement with the values of its parameters for a trial run, in an order in which
// each can run on a database that holds the program's tables as first created: the table
// is upgraded before the statements that read its newer columns.
struct Entry {
    QString name;
    DbStatement statement;
    QVariantList values = {}; // bound in order to the engine's "?" or ":name" parameters
    QString creates = {};     // the table the statement creates: dropped before the trial
    bool copy = false;        // the server's COPY, run through PgCopyInsert
};
QList<Entry> statements();
} // namespace StoreCatalog

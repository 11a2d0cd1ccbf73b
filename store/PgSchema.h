#pragma once

#include <QString>

// The bloqueto table on a PostgreSQL server: its columns in the server's natural types,
// and the few statement texts that the server needs said differently.
namespace PgSchema {
// The declared type of a column on the server.
QString sqlType(int kind, int width);
// The table with its first 32 columns, created only when it is missing.
QString createStatement();
// Name, declared type and whether it is an identity, per column of a table in table order
// (names as the server keeps them: unquoted names are folded to lower case). Takes the
// table name as its one parameter.
QString columnsQuery();
// A statement of the program as the server must run it; most run unchanged.
QString adapt(const QString& statement);
} // namespace PgSchema

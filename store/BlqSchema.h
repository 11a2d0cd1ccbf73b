#pragma once

#include <QList>
#include <QString>

// The columns of the bloqueto table Blq, in table order.
namespace BlqSchema {
enum class Kind { AutoInc, Text, Date, Money, Integer, Memo, Logical };

struct Column {
    const char* name;
    Kind kind;
    int width; // characters, for text columns; 0 otherwise
};

const QList<Column>& columns();           // all 34
inline constexpr int kBaseColumns = 32;   // the table as first installed
const Column* find(QStringView name);     // case-insensitive; nullptr when unknown
QString sqlType(Kind kind, int width);    // the declared type of a column
QString createStatement();                // the table with its first 32 columns
} // namespace BlqSchema

#pragma once

#include "BlqTitle.h"

#include <QList>
#include <QString>
#include <variant>

// The columns of the bloqueto table Blq, in table order, each with the member of BlqTitle
// that holds it. A new column is one line here and one member there.
namespace BlqSchema {
enum class Kind { AutoInc, Text, Date, Money, Integer, Memo, Logical };

using Member = std::variant<qint32 BlqTitle::*, QString BlqTitle::*, QDate BlqTitle::*,
                            std::optional<qint32> BlqTitle::*, std::optional<double> BlqTitle::*,
                            std::optional<bool> BlqTitle::*>;

struct Column {
    const char* name;
    Kind kind;
    int width; // characters, for text columns; 0 otherwise
    Member member;
};

const QList<Column>& columns();         // all 35
const QList<QString>& names();          // of columns(), in the same order
inline constexpr int kBaseColumns = 32; // the table as first installed
const Column* find(QStringView name);   // case-insensitive; nullptr when unknown
} // namespace BlqSchema

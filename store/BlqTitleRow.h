#pragma once

#include "BlqSchema.h"
#include "BlqTitle.h"

#include <QList>

class DbQuery;
class DbTable;

// A title as a row of Blq: the one place where a column's name meets its member, both
// ways, in the order of BlqSchema.
class BlqTitleRow {
public:
    // The current row of an open query. Columns the statement did not select, and null
    // ones, stay absent. Raises for a stored number that is not one, and for an amount no
    // title can carry (not finite, or beyond what whole centavos hold exactly).
    static BlqTitle read(const DbQuery& query);

    // Writes into the pending rows of an open table, whose columns are looked up once.
    explicit BlqTitleRow(DbTable& table);

    // Sets every present member on the pending row, and the folded search text
    // (BlqSearchText) when the table has its column; absent members leave their columns
    // null. A present member whose column the table lacks raises the table's complaint.
    void write(const BlqTitle& title);
    // Sets one member only (a text that comes after its title).
    void write(const BlqTitle& title, const BlqSchema::Member& member);

private:
    void write(const BlqTitle& title, int column);

    DbTable& m_table;
    QList<int> m_positions; // of the schema's columns in the table; -1 when it lacks one
    int m_searchText = -1;  // BlqBusTxt's position; -1 when the table lacks it
};

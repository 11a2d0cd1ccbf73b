#pragma once

#include "DbTable.h"

#include <QList>
#include <QString>

// Rows of the bloqueto table for the report tests and the benchmark.
namespace BlqRows {
struct Row {
    QString age, ctr, nos, seu, err;
    bool valid = false;
};

inline void add(const QList<Row>& rows)
{
    DbTable t;
    t.open();
    t.beginBatch();
    for (const Row& r : rows) {
        t.append();
        t.setText(QStringLiteral("BlqAgeCod"), r.age);
        t.setText(QStringLiteral("BlqCtrCod"), r.ctr);
        t.setText(QStringLiteral("BlqNosNum"), r.nos);
        t.setText(QStringLiteral("BlqSeuNum"), r.seu);
        t.setText(QStringLiteral("BlqNomCed"), QStringLiteral("CEDENTE ") + r.age);
        t.setBool(QStringLiteral("BlqRegVal"), r.valid);
        t.setText(QStringLiteral("BlqMsgErr"), r.err);
        t.post();
    }
    t.commitBatch();
    t.close();
}

// `count` rejected rows, numbered, of a few agencies and contracts.
inline QList<Row> rejected(int count)
{
    QList<Row> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i) {
        rows.append({QStringLiteral("%1").arg(1000 + i % 7, 4, 10, QLatin1Char('0')),
                     QStringLiteral("%1").arg(100000 + i % 3, 9, 10, QLatin1Char('0')),
                     QStringLiteral("%1").arg(i, 11, 10, QLatin1Char('0')),
                     QStringLiteral("%1").arg(i, 10, 10, QLatin1Char('0')),
                     QStringLiteral("Data de vencimento inválida, CEP inválido"), false});
    }
    return rows;
}
} // namespace BlqRows

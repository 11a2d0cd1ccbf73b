#pragma once

#include "BankFileImporter.h"
#include "BankFileWriter.h"
#include "BlqUpgrade.h"
#include "Database.h"
#include "DbQuery.h"
#include "DbTable.h"
#include "KvError.h"
#include "ProgramDir.h"
#include "TestSupport.h"

#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariantMap>

// Shared by the import tests: bank files on disk and the rows the import left.
namespace ImportTestSupport {

inline QString writeFile(const QString& path, const QByteArray& bytes)
{
    return TestSupport::writtenFile(path, bytes);
}

// Every row of Blq in file order, field names as the table defines them, values as the
// file engine stores them whichever engine holds the table.
inline QList<QVariantMap> rows()
{
    QList<QVariantMap> out;
    DbQuery q;
    q.sql() << QStringLiteral("SELECT * FROM Blq ORDER BY BlqSeq");
    for (q.open(); !q.eof(); q.next()) {
        QVariantMap row;
        for (const QString& name : q.fieldNames())
            row.insert(name, q.value(name));
        out << row;
    }
    return out;
}

inline QStringList column(const QString& field)
{
    QStringList out;
    for (const QVariantMap& row : rows())
        out << row.value(field).toString();
    return out;
}

// A file of one beneficiary: header, the titles given, trailer.
inline QByteArray fileOf(const QList<BankFileWriter::Title>& titles,
                         const QString& carteira = QStringLiteral("01"))
{
    BankFileWriter w;
    w.header(carteira, QStringLiteral("CEDENTE DE TESTE"));
    for (const auto& t : titles)
        w.title(t);
    w.trailer();
    return w.bytes();
}

// What an import of some bytes came to.
struct Outcome {
    QString error; // empty when the import ended well
    qint64 blocks = 0;
    bool completed = false;
    QList<qint64> progress;
};

inline Outcome importBytes(const QByteArray& bytes)
{
    BlqUpgrade::upgradeIfNeeded();
    const QString path = writeFile(ProgramDir::file(QStringLiteral("banco.rem")), bytes);
    Outcome out;
    DbTable table;
    BankFileImporter importer(table, [&](qint64 n) { out.progress << n; });
    try {
        importer.importFile(path);
    } catch (const KvError& e) {
        out.error = e.message();
    }
    out.blocks = importer.blockCount();
    out.completed = importer.completed();
    table.close();
    return out;
}

// One title under a header, imported; the row it gave (or none). The title is block 2:
// an error it raised comes back without the "Bloco 2: " that names it.
inline QVariantMap importTitle(const BankFileWriter::Title& t, QString* error = nullptr)
{
    const Outcome o = importBytes(fileOf({t}));
    const QString prefix = QStringLiteral("Bloco 2: ");
    if (error)
        *error = o.error.startsWith(prefix) ? o.error.mid(prefix.size()) : o.error;
    const auto all = rows();
    return all.isEmpty() ? QVariantMap() : all.first();
}

} // namespace ImportTestSupport

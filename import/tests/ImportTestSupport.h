#pragma once

#include "BankFileWriter.h"
#include "Database.h"
#include "KvError.h"

#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariantMap>

// Shared by the import tests: bank files on disk and the rows the import left.
namespace ImportTestSupport {

inline QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw KvError(QStringLiteral("cannot write ") + path);
    return path;
}

// Every row of Blq in file order, field names as the table spells them.
inline QList<QVariantMap> rows()
{
    QList<QVariantMap> out;
    QSqlQuery q(Database::connection());
    if (!q.exec(QStringLiteral("SELECT * FROM Blq ORDER BY BlqSeq")))
        throw KvError(QStringLiteral("cannot read Blq"));
    while (q.next()) {
        QVariantMap row;
        const QSqlRecord r = q.record();
        for (int i = 0; i < r.count(); ++i)
            row.insert(r.fieldName(i), q.value(i));
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

} // namespace ImportTestSupport

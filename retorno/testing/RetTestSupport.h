#pragma once

#include "BankFileImporter.h"
#include "BankFileWriter.h"
#include "BlqUpgrade.h"
#include "Database.h"
#include "DbQuery.h"
#include "DbTable.h"
#include "EngineProgramDir.h"
#include "KvError.h"
#include "ProgramDir.h"
#include "RetFileWriter.h"
#include "RetStatements.h"
#include "RetTables.h"
#include "TestSupport.h"

#include <QFile>

// Shared by the return-file tests: titles imported from a real bank file, occurrences
// naming them, and what the store answers about them.
namespace RetTestSupport {

// A title as the import stored it: the keys a return file names it by.
struct Stored {
    QString age, ctr, nos, seu;
    qint64 value = 0;
    QDate due;
};

// The throwaway server lives as long as the test executable: each test starts without the
// occurrences of the one before.
inline void dropTables(const EngineProgramDir& dir)
{
    if (dir.isServer())
        dir.serverExec(QStringLiteral("DROP TABLE IF EXISTS Ret, RetArq"));
}

inline QString writeFile(const QString& path, const QByteArray& bytes)
{
    return TestSupport::writtenFile(path, bytes);
}

// n titles for each beneficiary name given (contracts 00000001, 00000002, ...), imported
// through the real import; their stored keys in file order.
inline QList<Stored> importTitles(const QStringList& beneficiaries, int n, qint64 jurosDia = 0)
{
    BlqUpgrade::upgradeIfNeeded();
    BankFileWriter w;
    int number = 0;
    for (int b = 0; b < beneficiaries.size(); ++b) {
        w.header(QStringLiteral("01"), beneficiaries.at(b));
        for (int i = 0; i < n; ++i) {
            BankFileWriter::Title t;
            t.contrato = QStringLiteral("%1").arg(b + 1, 8, 10, QLatin1Char('0'));
            t.nossoNumero = QStringLiteral("%1").arg(++number, 10, 10, QLatin1Char('0'));
            t.seuNumero = QStringLiteral("S%1").arg(number, 9, 10, QLatin1Char('0'));
            t.valor = BankFileWriter::cents(10000 + number);
            t.vencimento = QStringLiteral("101126");
            t.jurosDia = BankFileWriter::cents(jurosDia);
            t.sacado = QStringLiteral("SACADO Nº %1 JOSÉ").arg(number);
            w.title(t);
        }
    }
    w.trailer();
    const QString path = writeFile(ProgramDir::file(QStringLiteral("banco.rem")), w.bytes());
    {
        DbTable table;
        BankFileImporter importer(table);
        importer.importFile(path);
    }
    QList<Stored> out;
    DbQuery q;
    q.sql() << QStringLiteral("select * from Blq order by BlqSeq");
    for (q.open(); !q.eof(); q.next()) {
        out << Stored{
            q.asString(QStringLiteral("BlqAgeCod")), q.asString(QStringLiteral("BlqCtrCod")),
            q.asString(QStringLiteral("BlqNosNum")), q.asString(QStringLiteral("BlqSeuNum")),
            q.asCents(QStringLiteral("BlqTitVal")),  q.asDate(QStringLiteral("BlqDatVen"))};
    }
    return out;
}

// An occurrence of a stored title, settled in full by default.
inline RetOccurrence occurrenceOf(const Stored& t, const QString& code, const QDate& day)
{
    RetOccurrence o = RetFileWriter::settlement(t.age, t.ctr, t.nos, t.value, day);
    o.codOco = code;
    o.seuNum = t.seu;
    o.datVen = t.due;
    if (code != QStringLiteral("06") && code != QStringLiteral("17")) {
        o.valPag = 0;
        o.datCre = QDate();
    }
    return o;
}

// The situação of every title that has occurrences, "age/ctr/nos" -> text.
inline QMap<QString, QString> situacoes()
{
    QMap<QString, QString> out;
    DbQuery q;
    q.sql() << RetStatements::situacaoPorTitulo();
    for (q.open(); !q.eof(); q.next())
        out.insert(q.asString(QStringLiteral("RetAgeCod")) + QLatin1Char('/') +
                       q.asString(QStringLiteral("RetCtrCod")) + QLatin1Char('/') +
                       q.asString(QStringLiteral("RetNosNum")),
                   q.asString(QStringLiteral("RetSituacao")));
    return out;
}

inline QString keyOf(const Stored& t)
{
    return t.age + QLatin1Char('/') + t.ctr + QLatin1Char('/') + t.nos;
}

inline int count(const QString& sql)
{
    RetTables::ensure(Database::connection());
    DbQuery q;
    q.sql() << sql;
    q.open();
    return q.eof() ? -1 : q.asInteger(q.fieldNames().first());
}
} // namespace RetTestSupport

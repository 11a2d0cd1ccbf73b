// Processing return files into the store, on the SQLite file and on a real server: what is
// stored, what each title's situação becomes, and that nothing is stored twice or in part.
#include "Clock.h"
#include "Database.h"
#include "EngineProgramDir.h"
#include "KvError.h"
#include "RetProcessor.h"
#include "RetTestSupport.h"

#include <QtTest>

using namespace RetTestSupport;
using Format = RetFile::Format;

namespace {
QString errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const KvError& e) {
        return e.message();
    }
    return {};
}

QByteArray fileOf(Format format, const QList<RetOccurrence>& list,
                  const QDate& day = QDate(2026, 12, 1))
{
    RetFileWriter w(format, day);
    for (const RetOccurrence& o : list)
        w.add(o);
    return w.bytes();
}

RetSummary process(const QByteArray& bytes, bool reprocess = false,
                   const QString& name = QStringLiteral("retorno.ret"))
{
    const QString path = writeFile(ProgramDir::file(name), bytes);
    return RetProcessor().process(path, reprocess);
}
} // namespace

class TstRetProcessor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase_data() { addEngineRows(); }
    void cleanup() { Database::closeAll(); }

    void storesEveryKindAndCountsThem_data()
    {
        QTest::addColumn<Format>("format");
        QTest::newRow("400") << Format::Cnab400;
        QTest::newRow("240") << Format::Cnab240;
    }
    void storesEveryKindAndCountsThem()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        dropTables(dir);
        QFETCH(Format, format);
        const QList<Stored> t =
            importTitles({QStringLiteral("CEDENTE SÃO JOÃO"), QStringLiteral("CEDENTE AÇAÍ")}, 4);
        const QDate day(2026, 11, 20);
        RetOccurrence rejected = occurrenceOf(t[2], QStringLiteral("03"), day);
        rejected.motRej = QStringLiteral("0848");
        RetOccurrence fee = occurrenceOf(t[3], QStringLiteral("28"), day);
        fee.valTar = 350;
        RetOccurrence unknown = occurrenceOf(t[4], QStringLiteral("06"), day);
        unknown.nosNum = QStringLiteral("99999999999"); // no such title
        RetOccurrence shortPaid = occurrenceOf(t[5], QStringLiteral("06"), day);
        shortPaid.valPag -= 1;
        const QList<RetOccurrence> list = {
            occurrenceOf(t[0], QStringLiteral("02"), day),
            occurrenceOf(t[1], QStringLiteral("06"), day),
            rejected,
            fee,
            unknown,
            shortPaid,
            occurrenceOf(t[6], QStringLiteral("09"), day),
            occurrenceOf(t[7], QStringLiteral("23"), day),
            occurrenceOf(t[0], QStringLiteral("55"), day.addDays(-1)),
        };
        const RetSummary s = process(fileOf(format, list));
        QCOMPARE(s.occurrences, 9);
        QCOMPARE(s.entries, 1);
        QCOMPARE(s.settlements, 3);
        QCOMPARE(s.settledSum, t[1].value + t[4].value + t[5].value - 1);
        QCOMPARE(s.rejections, 1);
        QCOMPARE(s.fees, 1);
        QCOMPARE(s.feeSum, 350);
        QCOMPARE(s.writeOffs, 1);
        QCOMPARE(s.protests, 1);
        QCOMPARE(s.others, 1);
        QCOMPARE(s.unidentified, 1);
        QVERIFY(!s.reprocessed);
        QCOMPARE(count(QStringLiteral("select count(*) from Ret")), 9);
        QCOMPARE(count(QStringLiteral("select count(*) from RetArq")), 1);

        DbQuery q;
        q.sql() << QStringLiteral("select * from Ret where RetCodOco = '03'");
        q.open();
        QCOMPARE(q.asString(QStringLiteral("RetMotRej")), QStringLiteral("0848"));
        QCOMPARE(q.asDate(QStringLiteral("RetDatOco")), day);
        QCOMPARE(q.asCents(QStringLiteral("RetTitVal")), t[2].value);
        q.close();
        q.clearSql();
        q.sql() << QStringLiteral("select * from RetArq");
        q.open();
        QCOMPARE(q.asString(QStringLiteral("RetArqFmt")),
                 format == Format::Cnab400 ? QStringLiteral("400") : QStringLiteral("240"));
        QCOMPARE(q.asCents(QStringLiteral("RetArqVal")), s.settledSum);
        QCOMPARE(q.asDate(QStringLiteral("RetArqDat")), QDate(2026, 12, 1));
        QCOMPARE(q.asString(QStringLiteral("RetArqHash")).size(), 64);

        const auto sit = situacoes();
        QCOMPARE(sit.value(keyOf(t[0])), QStringLiteral("Em aberto")); // 02 is the latest
        QCOMPARE(sit.value(keyOf(t[1])), QStringLiteral("Liquidado"));
        QCOMPARE(sit.value(keyOf(t[2])), QStringLiteral("Rejeitado"));
        QVERIFY(!sit.contains(keyOf(t[3]))); // a fee record alone changes nothing
        QCOMPARE(sit.value(keyOf(t[6])), QStringLiteral("Baixado"));
        QCOMPARE(sit.value(keyOf(t[7])), QStringLiteral("Em protesto"));
    }

    // Occurrences outlive the import, and the latest wins by date, then file, then line.
    void situacaoFollowsTheLatestOccurrenceAcrossFilesAndImports()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        dropTables(dir);
        const QList<Stored> t = importTitles({QStringLiteral("CEDENTE")}, 3);
        const QDate d1(2026, 11, 10), d2(2026, 11, 12);
        process(fileOf(Format::Cnab400, {occurrenceOf(t[0], QStringLiteral("09"), d1),
                                         occurrenceOf(t[1], QStringLiteral("06"), d2),
                                         occurrenceOf(t[2], QStringLiteral("02"), d1)}),
                false, QStringLiteral("dia1.ret"));
        importTitles({QStringLiteral("CEDENTE")}, 3); // a new import: Blq refilled
        RetOccurrence fee = occurrenceOf(t[1], QStringLiteral("28"), d2.addDays(5));
        process(fileOf(Format::Cnab240,
                       {occurrenceOf(t[0], QStringLiteral("17"), d2), // settled after write-off
                        fee,                                          // fee after settlement
                        occurrenceOf(t[2], QStringLiteral("06"), d1), // same day, later file
                        occurrenceOf(t[2], QStringLiteral("14"), d1.addDays(-3))},
                       QDate(2026, 11, 20)),
                false, QStringLiteral("dia2.ret"));
        QCOMPARE(count(QStringLiteral("select count(*) from Ret")), 7);
        const auto sit = situacoes();
        QCOMPARE(sit.value(keyOf(t[0])), QStringLiteral("Liquidado"));
        QCOMPARE(sit.value(keyOf(t[1])), QStringLiteral("Liquidado"));
        QCOMPARE(sit.value(keyOf(t[2])), QStringLiteral("Liquidado"));

        // Left out of "pendentes": all three are settled now.
        DbQuery q;
        q.setStatement(RetStatements::bloquetosPendentes());
        q.open();
        QVERIFY(q.eof());
    }

    void sameBytesTwiceAreRefusedUnlessReprocessed()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        dropTables(dir);
        Clock::setFixed(QDateTime(QDate(2026, 12, 9), QTime(14, 5, 33)));
        const QList<Stored> t = importTitles({QStringLiteral("CEDENTE")}, 2);
        const QByteArray bytes =
            fileOf(Format::Cnab400, {occurrenceOf(t[0], QStringLiteral("06"), QDate(2026, 12, 1)),
                                     occurrenceOf(t[1], QStringLiteral("02"), QDate(2026, 12, 1))});
        const RetSummary first = process(bytes);
        QCOMPARE(errorOf([&] { process(bytes, false, QStringLiteral("copia.ret")); }),
                 QStringLiteral("Este arquivo de retorno já foi processado em 09/12/2026 às "
                                "14:05."));
        QCOMPARE(RetProcessor().processedBefore(bytes).date(), QDate(2026, 12, 9));
        QCOMPARE(count(QStringLiteral("select count(*) from Ret")), 2);

        Clock::setFixed(QDateTime(QDate(2026, 12, 10), QTime(9, 0)));
        const RetSummary again = process(bytes, true, QStringLiteral("copia.ret"));
        Clock::setFixed(QDateTime());
        QVERIFY(again.reprocessed);
        QCOMPARE(again.fileSeq, first.fileSeq);
        QCOMPARE(count(QStringLiteral("select count(*) from Ret")), 2);
        QCOMPARE(count(QStringLiteral("select count(*) from RetArq")), 1);
        DbQuery q;
        q.sql() << QStringLiteral("select RetArqNom from RetArq");
        q.open();
        QCOMPARE(q.asString(QStringLiteral("RetArqNom")), QStringLiteral("copia.ret"));
    }

    void aBadFileStoresNothing_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QByteArray>("with");
        QTest::newRow("bad value on the last detail") << -2 << 254 << QByteArray("X");
        QTest::newRow("wrong trailer count") << -1 << 18 << QByteArray("00000009");
        QTest::newRow("another bank") << 0 << 77 << QByteArray("001");
    }
    void aBadFileStoresNothing()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        dropTables(dir);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(QByteArray, with);
        const QList<Stored> t = importTitles({QStringLiteral("CEDENTE")}, 3);
        process(fileOf(Format::Cnab400, {occurrenceOf(t[0], QStringLiteral("02"), {})}));
        RetFileWriter w(Format::Cnab400);
        for (const Stored& s : t)
            w.add(occurrenceOf(s, QStringLiteral("06"), QDate(2026, 12, 2)));
        QList<QByteArray> lines = w.lines();
        lines[line < 0 ? lines.size() + line : line].replace(column - 1, with.size(), with);
        QVERIFY(!errorOf([&] {
                     process(RetFileWriter::join(lines), false, QStringLiteral("b.ret"));
                 }).isEmpty());
        QCOMPARE(count(QStringLiteral("select count(*) from Ret")), 1);
        QCOMPARE(count(QStringLiteral("select count(*) from RetArq")), 1);
    }
};

QTEST_GUILESS_MAIN(TstRetProcessor)
#include "tst_retprocessor.moc"

#include "BlqTitles.h"
#include "ContinuoFixtures.h"
#include "ContinuoRowsModel.h"
#include "ContinuoSelection.h"
#include "Database.h"
#include "DbQuery.h"
#include "DotMatrixPage.h"
#include "EngineProgramDir.h"
#include "KvError.h"
#include "TestEnvironment.h"
#include "TestSupport.h"

#include <QtTest>

using namespace ContinuoFixtures;

namespace {
QStringList names(const char* commaSeparated)
{
    return QString::fromLatin1(commaSeparated).split(QLatin1Char(','), Qt::SkipEmptyParts);
}

QStringList seuNumeros(const QList<BlqTitle>& rows)
{
    QStringList out;
    for (const BlqTitle& r : rows)
        out << r.seuNum;
    return out;
}

BlqTitle titulo(const QString& age, const QString& ctr, const QString& seu, bool valid = true)
{
    BlqTitle t = ofAgency(age, seu, valid);
    t.ctrCod = ctr;
    return t;
}

// Two contracts out of file order, a third whose titles are all rejected.
void addThreeContracts()
{
    BlqTitles::store(
        {titulo(QStringLiteral("0200"), QStringLiteral("000000019"), QStringLiteral("B1")),
         titulo(QStringLiteral("0123"), QStringLiteral("567890123"), QStringLiteral("A1")),
         titulo(QStringLiteral("0300"), QStringLiteral("000000027"), QStringLiteral("C1"), false),
         titulo(QStringLiteral("0200"), QStringLiteral("000000019"), QStringLiteral("B2")),
         titulo(QStringLiteral("0123"), QStringLiteral("567890123"), QStringLiteral("A2"), false),
         titulo(QStringLiteral("0123"), QStringLiteral("567890123"), QStringLiteral("A3"))});
}
} // namespace

class TstContinuoSelection : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
private Q_SLOTS:
    void initTestCase_data() { addEngineRows(); }
    void cleanup() { m_env.cleanup(); }

    void contractEntriesCoverEveryContract()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        addThreeContracts();
        QString error = QStringLiteral("stale");
        const QStringList entries = ContinuoSelection::contractEntries(&error);
        QCOMPARE(entries, (QStringList{
                              QStringLiteral("0123        567890123    CEDENTE 0123"),
                              QStringLiteral("0200        000000019    CEDENTE 0200"),
                              QStringLiteral("0300        000000027    CEDENTE 0300"),
                          }));
        QVERIFY(error.isEmpty());
    }

    void contractEntryWritesTheCodesAsNumbers_data()
    {
        QTest::addColumn<QString>("age");
        QTest::addColumn<QString>("ctr");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("error");
        QTest::newRow("short codes get zeros") << "12"
                                               << "19"
                                               << "0012        000000019    X"
                                               << "";
        QTest::newRow("blanks around") << " 12 "
                                       << "19 "
                                       << "0012        000000019    X"
                                       << "";
        QTest::newRow("agency with a letter") << "01A3"
                                              << "19"
                                              << ""
                                              << "'01A3' is not a valid integer value";
        QTest::newRow("contract with a dash") << "0123"
                                              << "5678901-2"
                                              << ""
                                              << "'5678901-2' is not a valid integer value";
        QTest::newRow("empty agency") << ""
                                      << "19"
                                      << ""
                                      << "'' is not a valid integer value";
    }
    void contractEntryWritesTheCodesAsNumbers()
    {
        QFETCH(QString, age);
        QFETCH(QString, ctr);
        QFETCH(QString, entry);
        QFETCH(QString, error);
        try {
            QCOMPARE(ContinuoSelection::contractEntry(age, ctr, QStringLiteral("X")), entry);
            QVERIFY(error.isEmpty());
        } catch (const KvConversionError& e) {
            QCOMPARE(e.message(), error);
        }
    }

    void badCodesAreLeftOutAndReported()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        BlqTitles::store(
            {titulo(QStringLiteral("01A3"), QStringLiteral("000000019"), QStringLiteral("X1")),
             titulo(QStringLiteral("0200"), QStringLiteral("000000019"), QStringLiteral("B1")),
             titulo(QStringLiteral(""), QStringLiteral(""), QStringLiteral("E1"))});
        QString error;
        const QStringList entries = ContinuoSelection::contractEntries(&error);
        QCOMPARE(entries, QStringList{QStringLiteral("0200        000000019    CEDENTE 0200")});
        QVERIFY2(error.endsWith(QStringLiteral("is not a valid integer value")), qPrintable(error));
    }

    void selectionForTheContractBoxText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("one contract, file order, valid only")
            << "0123        567890123    CEDENTE 0123" << names("A1,A3");
        QTest::newRow("the name does not matter") << "0200        000000019" << names("B1,B2");
        QTest::newRow("Todos: agency, contract, number") << "Todos" << names("A1,A3,B1,B2");
        QTest::newRow("todos is not Todos") << "todos" << QStringList{};
        QTest::newRow("all rejected") << "0300        000000027    CEDENTE 0300" << QStringList{};
        QTest::newRow("no such contract") << "xyz" << QStringList{};
        QTest::newRow("empty text") << "" << QStringList{};
    }
    void selectionForTheContractBoxText()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, rows);
        KV_GLOBAL_ENGINE_DIR(dir);
        addThreeContracts();
        QCOMPARE(seuNumeros(ContinuoSelection::rowsForText(text)), rows);
    }

    void selectionByStoredCodes()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        addThreeContracts();
        QCOMPARE(seuNumeros(ContinuoSelection::rows(false, QStringLiteral("0200"),
                                                    QStringLiteral("000000019"))),
                 (QStringList{QStringLiteral("B1"), QStringLiteral("B2")}));
        QVERIFY(
            ContinuoSelection::rows(false, QStringLiteral("200"), QStringLiteral("19")).isEmpty());
    }

    void rowsReadEveryField()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        BlqTitle t = example();
        t.jurDiaVal = 0.5;
        t.dstVal = 10;
        t.dstDatLim = QDate(2003, 2, 28);
        t.abtAtrVal = 0.1 + 0.2; // rounds to 0,30, not to 0,29
        t.sacNom = QStringLiteral("PAGADOR");
        t.sacCep = QStringLiteral("01234567");
        t.ins = QString(300, QLatin1Char('i'));
        t.idcCAp = true;
        addRejected(6);
        BlqTitles::store({t});
        const QList<BlqTitle> rows = ContinuoSelection::rowsForText(QStringLiteral("Todos"));
        QCOMPARE(rows.size(), 1);
        const BlqTitle& r = rows.first();
        QCOMPARE(r.seq, 7);
        QCOMPARE(BlqTitle::cents(r.titVal), qint64(123450));
        QCOMPARE(BlqTitle::cents(r.jurDiaVal), qint64(50));
        QCOMPARE(BlqTitle::cents(r.dstVal), qint64(1000));
        QCOMPARE(BlqTitle::cents(r.abtAtrVal), qint64(30));
        QCOMPARE(r.dstDatLim, QDate(2003, 2, 28));
        QCOMPARE(r.datEmi, QDate(2003, 2, 1));
        QCOMPARE(r.sacCep, QStringLiteral("01234567"));
        QCOMPARE(r.ins.size(), 300);
        QVERIFY(BlqTitle::isSet(r.idcCAp));
        QVERIFY(!BlqTitle::isSet(r.idcAvi));
        QCOMPARE(r.ageCod, QStringLiteral("0123"));
        QCOMPARE(r.ctrCod, QStringLiteral("567890123"));
    }

    void emptyFieldsReadAsNothing()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        {
            DbQuery statement;
            statement.sql() << QStringLiteral("INSERT INTO Blq (BlqRegVal) VALUES (TRUE)");
            statement.execSql();
        }
        const QList<BlqTitle> rows = ContinuoSelection::rowsForText(QStringLiteral("Todos"));
        QCOMPARE(rows.size(), 1);
        const BlqTitle& r = rows.first();
        QVERIFY(r.seuNum.isEmpty());
        QVERIFY(!r.datEmi.isValid());
        QVERIFY(!r.datVen.isValid());
        QCOMPARE(BlqTitle::cents(r.titVal), qint64(0));
        QVERIFY(!BlqTitle::isSet(r.idcAvi));
        QCOMPARE(DotMatrixPage::CalcDatVen(r), QString(10, QLatin1Char(' ')));
    }

    // Such amounts were once converted to centavos with undefined behaviour.
    void amountsThatAreNotMoneyStopTheSelection_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("text") << "'abc'";
        QTest::newRow("far too large") << "1e300";
        QTest::newRow("infinite") << "9e999";
    }
    void amountsThatAreNotMoneyStopTheSelection()
    {
        // Only the file engine takes such values into a money column at all.
        KV_FILE_ENGINE_ONLY();
        QFETCH(QString, stored);
        KV_GLOBAL_ENGINE_DIR(dir);
        {
            DbQuery statement;
            statement.sql() << QStringLiteral(
                                   "INSERT INTO Blq (BlqRegVal, BlqTitVal) VALUES (1, %1)")
                                   .arg(stored);
            statement.execSql();
        }
        QVERIFY_THROWS_EXCEPTION(KvConversionError,
                                 ContinuoSelection::rowsForText(QStringLiteral("Todos")));
    }

    void gridShowsTheSelection()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        BlqTitle aVista = example();
        aVista.idcAvi = true;
        BlqTitle cap = example();
        cap.idcCAp = true;
        cap.datVen = QDate();
        cap.titVal = 1234567.8;
        addRejected(2);
        BlqTitles::store({example(), aVista, cap});
        ContinuoRowsModel model;
        model.SelecionaMovimento(QStringLiteral("Todos"));
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.columnCount(), 4);
        QStringList headers;
        for (int c = 0; c < 4; ++c)
            headers << model.headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers,
                 (QStringList{QStringLiteral("Seu Número"), QStringLiteral("Vencimento"),
                              QStringLiteral("Valor do Título"), QStringLiteral("Nº Bloq.")}));
        auto cell = [&model](int row, int column) {
            return model.data(model.index(row, column)).toString();
        };
        QCOMPARE(cell(0, 0), QStringLiteral("ABC"));
        QCOMPARE(cell(0, 1), QStringLiteral("05/03/2003"));
        QCOMPARE(cell(0, 2), QStringLiteral("1.234,50"));
        QCOMPARE(cell(0, 3), QStringLiteral("3"));
        QCOMPARE(cell(1, 1), QStringLiteral("A vista   "));
        QCOMPARE(cell(2, 1), QStringLiteral("C/Apres.  "));
        QCOMPARE(cell(2, 2), QStringLiteral("1.234.567,80"));
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));

        model.SelecionaMovimento(QStringLiteral("nada"));
        QCOMPARE(model.rowCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TstContinuoSelection)
#include "tst_continuoselection.moc"

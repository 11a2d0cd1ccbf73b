// Reading a bank file as a whole: blocks, headers, texts, the end of the file, and how the
// import stops.
#include "BankConversions.h"
#include "BankFileImporter.h"
#include "BankFileWriter.h"
#include "BlqUpgrade.h"
#include "Database.h"
#include "DbTable.h"
#include "EngineProgramDir.h"
#include "ImportTestSupport.h"
#include "KvError.h"
#include "ProgramDir.h"
#include "Regional.h"
#include "TestEnvironment.h"
#include "TestSupport.h"

#include <QtTest>

using namespace ImportTestSupport;
using Title = BankFileWriter::Title;

class TstBankFileReading : public QObject {
    Q_OBJECT
    TestEnvironment m_env{TestEnvironment::BrazilianFormats};
private Q_SLOTS:
    void initTestCase_data() { addEngineRows(); }
    void cleanup() { m_env.cleanup(); }

    void nonDigitsInCheckedColumnsStopTheImport_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::newRow("agência")
            << 63 << QByteArray("03 1")
            << "'03 10000000002' não é um número válido para o dígito verificador";
        QTest::newRow("nosso número")
            << 67 << QByteArray("00000000A1")
            << "'034100000000A1' não é um número válido para o dígito verificador";
        QTest::newRow("contract")
            << 29 << QByteArray("0012345-")
            << "'03410012345-' não é um número válido para o dígito verificador";
        QTest::newRow("quantity") << 98 << QByteArray("       ABC")
                                  << "'       ABC' não é um valor inteiro válido";
        QTest::newRow("rebate") << 206 << QByteArray("?")
                                << "'?000000000000' não é um número válido";
        QTest::newRow("discount") << 180 << QByteArray("X")
                                  << "'X000000000000' não é um número válido";
        QTest::newRow("interest") << 161 << QByteArray("Y")
                                  << "'Y000000000000' não é um número válido";
    }
    void nonDigitsInCheckedColumnsStopTheImport()
    {
        QFETCH(int, first);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        KV_GLOBAL_ENGINE_DIR(dir);
        Title good;
        Title bad;
        bad.nossoNumero = QStringLiteral("0000000002");
        bad.columns = {{first, bytes}};
        const Outcome o = importBytes(fileOf({good, bad, good}));
        QCOMPARE(o.error, QStringLiteral("Bloco 3: ") + error);
        QVERIFY(!o.completed);
        QCOMPARE(o.blocks, 3); // header, good, bad: the count where the import stopped
        // The title before stays; the bad one is not stored.
        QCOMPARE(column(QStringLiteral("BlqNosNum")), QStringList{QStringLiteral("00000000010")});
    }

    void headers()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        BankFileWriter w;
        Title t;
        w.header(QStringLiteral("01"), QStringLiteral("PRIMEIRO CEDENTE")).title(t);
        w.header(QStringLiteral("02"), QStringLiteral("SEGUNDO CEDENTE")).title(t).title(t);
        w.header(QStringLiteral("05"), QStringLiteral("CARTEIRA CINCO")).title(t);
        w.trailer();
        const Outcome o = importBytes(w.bytes());
        QCOMPARE(o.error, QString());
        const auto all = rows();
        QCOMPARE(all.size(), 4);
        QCOMPARE(column(QStringLiteral("BlqTipCar")),
                 (QStringList{QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("02"),
                              QStringLiteral("05")}));
        QCOMPARE(all.at(1).value(QStringLiteral("BlqNomCed")).toString().trimmed(),
                 QStringLiteral("SEGUNDO CEDENTE"));
        QCOMPARE(column(QStringLiteral("BlqMsgErr")),
                 (QStringList{QStringLiteral(""), QStringLiteral(""), QStringLiteral(""),
                              QStringLiteral("CARTEIRA INVALIDA")}));
    }

    void carteiraOfTheHeader_data()
    {
        QTest::addColumn<QString>("carteira");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QStringList>("reasons");
        QTest::newRow("05 rejects every title") << "05" << QString()
                                                << QStringList{QStringLiteral("CARTEIRA INVALIDA"),
                                                               QStringLiteral("CARTEIRA INVALIDA")};
        QTest::newRow(" 5 too") << " 5" << QString()
                                << QStringList{QStringLiteral("CARTEIRA INVALIDA"),
                                               QStringLiteral("CARTEIRA INVALIDA")};
        QTest::newRow("50 is another")
            << "50" << QString() << QStringList{QStringLiteral(""), QStringLiteral("")};
        QTest::newRow("blank stops at the first title")
            << "  "
            << "'  ' não é um valor inteiro válido" << QStringList{};
        QTest::newRow("letters too") << "A1"
                                     << "'A1' não é um valor inteiro válido" << QStringList{};
    }
    void carteiraOfTheHeader()
    {
        QFETCH(QString, carteira);
        QFETCH(QString, error);
        QFETCH(QStringList, reasons);
        KV_GLOBAL_ENGINE_DIR(dir);
        const Outcome o = importBytes(fileOf({Title(), Title()}, carteira));
        QCOMPARE(o.error, error.isEmpty() ? error : QStringLiteral("Bloco 2: ") + error);
        QCOMPARE(column(QStringLiteral("BlqMsgErr")), reasons);
    }

    void detailBeforeAnyHeaderStops()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        BankFileWriter w;
        w.title(Title()).trailer();
        const Outcome o = importBytes(w.bytes());
        QCOMPARE(o.error, QStringLiteral("Bloco 1: '' não é um valor inteiro válido"));
        QCOMPARE(o.blocks, 1);
        QVERIFY(rows().isEmpty());
    }

    void messageAndInstructions()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        BankFileWriter w;
        Title second;
        second.nossoNumero = QStringLiteral("0000000002");
        w.header(QStringLiteral("01"), QStringLiteral("CEDENTE"));
        w.title(Title()).message(QStringLiteral("PRIMEIRA")).message(QStringLiteral("SEGUNDA"));
        w.instruction(QStringLiteral("NÃO RECEBER APÓS O VENCIMENTO"));
        w.title(second).instruction(QStringLiteral("SÓ INSTRUÇÃO"));
        w.trailer();
        const Outcome o = importBytes(w.bytes());
        QCOMPARE(o.error, QString());
        const auto all = rows();
        QCOMPARE(all.size(), 2);
        // A later record replaces the text; blanks are kept, 390 characters.
        QCOMPARE(all.at(0).value(QStringLiteral("BlqMsg")).toString(),
                 QStringLiteral("SEGUNDA").leftJustified(390));
        QCOMPARE(all.at(0).value(QStringLiteral("BlqIns")).toString(),
                 QStringLiteral("NÃO RECEBER APÓS O VENCIMENTO").leftJustified(390));
        QVERIFY(all.at(1).value(QStringLiteral("BlqMsg")).isNull());
        QCOMPARE(all.at(1).value(QStringLiteral("BlqIns")).toString().trimmed(),
                 QStringLiteral("SÓ INSTRUÇÃO"));
    }

    void textBeforeAnyTitleStops_data()
    {
        QTest::addColumn<char>("type");
        QTest::newRow("message") << '2';
        QTest::newRow("instructions") << '3';
    }
    void textBeforeAnyTitleStops()
    {
        QFETCH(char, type);
        KV_GLOBAL_ENGINE_DIR(dir);
        BankFileWriter w;
        w.header(QStringLiteral("01"), QStringLiteral("CEDENTE"));
        w.raw(BankFileWriter::textRecord(type, QStringLiteral("SOLTA"), 2));
        w.title(Title()).trailer();
        const Outcome o = importBytes(w.bytes());
        QVERIFY(!o.error.isEmpty());
        QCOMPARE(o.blocks, 2);
        QVERIFY(rows().isEmpty());
    }

    void sameKeyTwiceGivesTwoRows()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        BankFileWriter w;
        w.header(QStringLiteral("01"), QStringLiteral("CEDENTE"));
        w.title(Title())
            .message(QStringLiteral("UM"))
            .title(Title())
            .message(QStringLiteral("DOIS"));
        w.trailer();
        QCOMPARE(importBytes(w.bytes()).error, QString());
        QCOMPARE(column(QStringLiteral("BlqNosNum")).size(), 2);
        QCOMPARE(column(QStringLiteral("BlqMsg")).at(1).trimmed(), QStringLiteral("DOIS"));
    }

    void framing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("blocks");
        QTest::addColumn<int>("titles");
        const QByteArray header =
            BankFileWriter::headerRecord(QStringLiteral("01"), QStringLiteral("CEDENTE"), 1);
        const QByteArray title = BankFileWriter::titleRecord(Title(), 2);
        const QByteArray trailer = BankFileWriter::trailerRecord(3);
        QTest::newRow("empty file") << QByteArray() << 0 << 0;
        QTest::newRow("header and trailer only") << header + trailer << 2 << 0;
        QTest::newRow("no trailer") << header + title << 2 << 1;
        // Whatever follows the trailer is never read, however bad.
        QTest::newRow("blocks after the trailer")
            << header + title + trailer + title + QByteArray(402, '\x01') + "1garbage" << 3 << 1;
        QTest::newRow("last line without line end") << header + title.left(400) << 2 << 1;
        QTest::newRow("other record types are counted")
            << header + QByteArray("5").leftJustified(400, 'Z') + "\r\n" + title + trailer << 4
            << 1;
        QTest::newRow("end-of-file mark after the trailer")
            << header + title + trailer + "\x1a" << 3 << 1;
        QTest::newRow("end-of-file mark without trailer") << header + title + "\x1a" << 3 << 1;
    }
    void framing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, blocks);
        QFETCH(int, titles);
        KV_GLOBAL_ENGINE_DIR(dir);
        const Outcome o = importBytes(bytes);
        QCOMPARE(o.error, QString());
        QVERIFY(o.completed);
        QCOMPARE(o.blocks, blocks);
        QCOMPARE(rows().size(), titles);
        QList<qint64> expected;
        for (int i = 1; i <= blocks; ++i)
            expected << i;
        QCOMPARE(o.progress, expected);
    }

    void shortFinalBlockKeepsTheRestOfTheBlockBefore()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        Title first;
        first.sacado = QStringLiteral("PRIMEIRO SACADO");
        Title second;
        second.contrato = QStringLiteral("00999999");
        const QByteArray bytes =
            BankFileWriter::headerRecord(QStringLiteral("01"), QStringLiteral("CEDENTE"), 1) +
            BankFileWriter::titleRecord(first, 2) + BankFileWriter::titleRecord(second, 3).left(40);
        const Outcome o = importBytes(bytes);
        QCOMPARE(o.error, QString());
        QCOMPARE(o.blocks, 3);
        const auto all = rows();
        QCOMPARE(all.size(), 2);
        QCOMPARE(all.at(1).value(QStringLiteral("BlqCtrCod")).toString(),
                 QStringLiteral("00999999") +
                     QLatin1Char(BankConversions::CalculaDigito("034100999999")));
        QCOMPARE(all.at(1).value(QStringLiteral("BlqSacNom")).toString().trimmed(),
                 QStringLiteral("PRIMEIRO SACADO"));
    }

    void replacesThePreviousTitles()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        Title a;
        a.seuNumero = QStringLiteral("ANTIGO");
        QCOMPARE(importBytes(fileOf({a, a})).error, QString());
        Title b;
        b.seuNumero = QStringLiteral("NOVO");
        QCOMPARE(importBytes(fileOf({b})).error, QString());
        QCOMPARE(column(QStringLiteral("BlqSeuNum")), QStringList{QStringLiteral("NOVO      ")});
    }

    // The table was once emptied before the file was opened.
    void aFileThatCannotBeOpenedNoLongerEmptiesTheTable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing") << "nao-existe.rem"
                                 << "Arquivo não encontrado: %1";
        QTest::newRow("a folder") << "pasta"
                                  << "%1 é uma pasta, não um arquivo";
    }
    void aFileThatCannotBeOpenedNoLongerEmptiesTheTable()
    {
        QFETCH(QString, name);
        QFETCH(QString, error);
        KV_GLOBAL_ENGINE_DIR(dir);
        QCOMPARE(importBytes(fileOf({Title(), Title()})).error, QString());
        QDir(dir.path()).mkdir(QStringLiteral("pasta"));
        DbTable table;
        BankFileImporter importer(table);
        const QString path = dir.file(name);
        try {
            importer.importFile(path);
            QFAIL("no error");
        } catch (const KvError& e) {
            QCOMPARE(e.message(), error.arg(QDir::toNativeSeparators(path)));
        }
        table.close();
        QCOMPARE(rows().size(), 2);
    }

    // The file was once opened for writing too, which refuses a read-only bank file.
    void aReadOnlyBankFileIsNoLongerRefused()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        BlqUpgrade::upgradeIfNeeded();
        const QString path = writeFile(dir.file(QStringLiteral("ro.rem")), fileOf({Title()}));
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        DbTable table;
        BankFileImporter importer(table);
        importer.importFile(path);
        QVERIFY(importer.completed());
        table.close();
        QCOMPARE(rows().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TstBankFileReading)
#include "tst_bankfilereading.moc"

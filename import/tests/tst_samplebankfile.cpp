// The bundled sample: made by our generator, and a fair picture of a bank's file.
#include "BankConversions.h"
#include "BankFileImporter.h"
#include "BankFileWriter.h"
#include "BlqUpgrade.h"
#include "Database.h"
#include "DbTable.h"
#include "ImportTestSupport.h"
#include "Regional.h"
#include "SampleBankFile.h"
#include "TestEnvironment.h"
#include "TestSupport.h"

#include <QSet>
#include <QtTest>

using namespace ImportTestSupport;

namespace {
QString committedSample()
{
    return TestSupport::sourceDir() + QStringLiteral("/exemplos/cobranca-exemplo.rem");
}

// Imports a generated file of `titles` titles (the measuring file when `realistic`, else the
// bulk one) into the titles table of `dir`; the count of blocks the importer read.
qint64 importSample(const TempProgramDir& dir, bool realistic, int titles)
{
    BlqUpgrade::upgradeIfNeeded();
    BankFileWriter w;
    if (realistic)
        SampleBankFile::writeRealistic(w, titles);
    else
        SampleBankFile::writeBulk(w, titles);
    const QString path = writeFile(dir.file(QStringLiteral("amostra.rem")), w.bytes());
    DbTable table;
    BankFileImporter importer(table);
    importer.importFile(path);
    table.close();
    return importer.blockCount();
}
} // namespace

class TstSampleBankFile : public QObject {
    Q_OBJECT
    TestEnvironment m_env{TestEnvironment::BrazilianFormats};
private Q_SLOTS:
    void cleanup() { m_env.cleanup(); }

    void theCommittedSampleIsTheGeneratorsOutput()
    {
        BankFileWriter w;
        SampleBankFile::write(w);
        QVERIFY(!w.bytes().isEmpty());
        QCOMPARE(TestSupport::readFile(committedSample()), w.bytes());

        TempProgramDir dir;
        int exit = -1;
        TestSupport::run(TestSupport::binaryDir() + QStringLiteral("/bin/kvcob-gera-exemplo"),
                         {dir.file(QStringLiteral("exemplo.rem"))}, &exit);
        QCOMPARE(exit, 0);
        QCOMPARE(TestSupport::readFile(dir.file(QStringLiteral("exemplo.rem"))), w.bytes());
    }

    void everyRecordIsFourHundredColumnsAndALineEnd()
    {
        const QByteArray bytes = TestSupport::readFile(committedSample());
        QCOMPARE(bytes.size() % 402, 0);
        for (qsizetype at = 0; at < bytes.size(); at += 402) {
            QCOMPARE(bytes.mid(at + 400, 2), QByteArray("\r\n"));
            QVERIFY(!bytes.mid(at, 400).contains('\n'));
        }
        QVERIFY(bytes.contains("JOS\xC9 DA CONCEI\xC7\xC3O")); // Windows-1252 bytes
    }

    void importsAsAFairPicture()
    {
        TempProgramDir dir;
        BlqUpgrade::upgradeIfNeeded();
        DbTable table;
        BankFileImporter importer(table);
        importer.importFile(committedSample());
        table.close();
        const auto all = rows();
        QCOMPARE(all.size(), SampleBankFile::kTitles);

        QSet<QString> beneficiaries, reasons;
        int rejected = 0, onSight = 0, onPresentation = 0, lateFees = 0, messages = 0;
        for (const QVariantMap& r : all) {
            const QString err = r.value(QStringLiteral("BlqMsgErr")).toString();
            const bool valid = r.value(QStringLiteral("BlqRegVal")).toInt() == 1;
            QCOMPARE(valid, err.isEmpty()); // the invariant every row keeps
            const bool avi = r.value(QStringLiteral("BlqIdcAvi")).toInt() == 1;
            const bool cap = r.value(QStringLiteral("BlqIdcCAp")).toInt() == 1;
            QVERIFY(!(avi && cap));
            if (avi || cap)
                QVERIFY(r.value(QStringLiteral("BlqDatVen")).isNull());
            onSight += avi;
            onPresentation += cap;
            if (!valid) {
                ++rejected;
                reasons << err;
            } else if (!avi && !cap) {
                const QDate due = r.value(QStringLiteral("BlqDatVen")).toDate();
                QVERIFY2(due.year() == 2026 || due.year() == 2027, qPrintable(due.toString()));
            }
            lateFees += !r.value(QStringLiteral("BlqValMul")).isNull();
            messages += !r.value(QStringLiteral("BlqMsg")).isNull();
            beneficiaries << r.value(QStringLiteral("BlqNomCed")).toString().trimmed();
        }
        QCOMPARE(rejected, SampleBankFile::kRejected);
        QCOMPARE(reasons.size(), SampleBankFile::kRejected); // each for its own reasons
        QCOMPARE(beneficiaries, (QSet<QString>{QStringLiteral("CONFECÇÕES ARAÚJO LTDA"),
                                               QStringLiteral("ESCOLA SÃO JOÃO DO IPÊ"),
                                               QStringLiteral("CONDOMÍNIO EDIFÍCIO JACARANDÁ")}));
        QVERIFY(onSight >= 2);
        QVERIFY(onPresentation >= 1);
        QVERIFY(lateFees >= 5);
        QVERIFY(messages >= 20);
        QCOMPARE(all.first().value(QStringLiteral("BlqSacNom")).toString().trimmed(),
                 QStringLiteral("JOSÉ DA CONCEIÇÃO"));
    }

    // Every title of a generated file is imported valid, the bulk file's and the measuring one's.
    void generatedFilesAreValidThroughout_data()
    {
        QTest::addColumn<bool>("realistic");
        QTest::addColumn<int>("titles");
        QTest::addColumn<qint64>("blocks");
        QTest::newRow("bulk") << false << 500 << qint64(1 + 500 * 3 + 1);
        QTest::newRow("realistic") << true << 200 << qint64(3 + 200 * 3 + 1);
    }
    void generatedFilesAreValidThroughout()
    {
        QFETCH(bool, realistic);
        QFETCH(int, titles);
        QFETCH(qint64, blocks);
        TempProgramDir dir;
        QCOMPARE(importSample(dir, realistic, titles), blocks);
        QCOMPARE(column(QStringLiteral("BlqMsgErr")), QStringList(titles, QString()));
    }

    // The measuring file is an office's: all three beneficiaries in their shares, payers and
    // kinds that vary, a message and an instruction on each.
    void realisticFilesAreVaried()
    {
        TempProgramDir dir;
        QVERIFY(importSample(dir, true, 200) > 0);
        QMap<QString, int> perBeneficiary;
        QSet<QString> payers;
        int onSight = 0, lateFees = 0;
        for (const QVariantMap& r : rows()) {
            ++perBeneficiary[r.value(QStringLiteral("BlqNomCed")).toString().trimmed()];
            payers << r.value(QStringLiteral("BlqSacNom")).toString().trimmed();
            QVERIFY(!r.value(QStringLiteral("BlqMsg")).isNull());
            onSight += r.value(QStringLiteral("BlqIdcAvi")).toInt();
            lateFees += !r.value(QStringLiteral("BlqValMul")).isNull();
        }
        const QStringList names = SampleBankFile::beneficiaries();
        QCOMPARE(QSet<QString>(perBeneficiary.keyBegin(), perBeneficiary.keyEnd()),
                 QSet<QString>(names.cbegin(), names.cend()));
        QCOMPARE(perBeneficiary.value(names.at(0)), 100);
        QCOMPARE(perBeneficiary.value(names.at(1)), 60);
        QCOMPARE(perBeneficiary.value(names.at(2)), 40);
        QCOMPARE(payers.size(), 15);
        QVERIFY(payers.contains(QStringLiteral("ÍRIS MAGALHÃES DE SÁ")));
        QVERIFY(onSight > 0);
        QVERIFY(lateFees > 0);
    }
};

QTEST_GUILESS_MAIN(TstSampleBankFile)
#include "tst_samplebankfile.moc"

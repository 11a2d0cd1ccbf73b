#include "BankFileWriter.h"
#include "BarcodeScan.h"
#include "BlqTitles.h"
#include "Database.h"
#include "PageImages.h"
#include "SampleBankFile.h"
#include "TestSupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {
QString tool()
{
    return TestSupport::binaryDir() + QStringLiteral("/bin/kvcob-lote");
}

struct Result {
    int exit = -2;
    QString out;
};

Result runTool(const QString& dir, const QString& output)
{
    Result r;
    r.out = QString::fromLocal8Bit(TestSupport::run(
        tool(), {QStringLiteral("--dir"), dir, QStringLiteral("folha-solta"), output}, &r.exit));
    return r;
}

void writeTitles(int valid, int rejected)
{
    BlqTitles::fill(0);
    QList<BlqTitle> rows;
    for (int n = 1; n <= valid + rejected; ++n) {
        BlqTitle row = BlqTitles::numbered(n);
        row.regVal = n <= valid;
        rows << row;
    }
    BlqTitles::store(rows);
    Database::closeAll(); // the tool opens the file itself
}
} // namespace

class TstVerbFolhaSolta : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesOnePagePerValidTitle()
    {
        if (!TestSupport::haveProgram(QStringLiteral("pdftotext")))
            QSKIP("pdftotext is not installed");
        TempProgramDir dir;
        writeTitles(3, 1);
        const QString pdf = dir.file(QStringLiteral("saida.pdf"));
        const Result r = runTool(dir.path(), pdf);
        QCOMPARE(r.exit, 0);
        QVERIFY(r.out.contains(QStringLiteral("3 bloqueto(s)")));
        const QString text = QString::fromUtf8(TestSupport::run(
            QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")}));
        QCOMPARE(text.count(QLatin1Char('\f')), 3);
        for (int n = 1; n <= 3; ++n)
            QVERIFY(text.contains(BlqTitles::numbered(n).sacNom));
        QVERIFY(!text.contains(BlqTitles::numbered(4).sacNom));

        // Every face and picture once for the whole file, the faces embedded.
        const QStringList fonts =
            QString::fromUtf8(TestSupport::run(QStringLiteral("pdffonts"), {pdf}))
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                .mid(2);
        QVERIFY(!fonts.isEmpty());
        QSet<QString> names;
        for (const QString& line : fonts) {
            QVERIFY2(line.contains(QRegularExpression(QStringLiteral("\\syes\\s+yes\\s"))),
                     qPrintable(line));
            names << line.section(QLatin1Char(' '), 0, 0);
        }
        QCOMPARE(names.size(), fonts.size());
        const QStringList images =
            QString::fromUtf8(
                TestSupport::run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}))
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                .mid(2);
        QSet<QString> objects;
        for (const QString& line : images)
            objects << line.simplified().section(QLatin1Char(' '), 10, 10);
        QVERIFY(images.size() > 3);
        QVERIFY2(objects.size() <= images.size() / 3, qPrintable(images.join(QLatin1Char('\n'))));
    }

    void refusesWhenThereIsNothingToPrint_data()
    {
        QTest::addColumn<int>("rejected");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty table") << 0 << QStringLiteral("Não há Dados na Base");
        QTest::newRow("only rejected") << 2 << QStringLiteral("Nenhum título válido");
    }
    void refusesWhenThereIsNothingToPrint()
    {
        QFETCH(int, rejected);
        QFETCH(QString, message);
        TempProgramDir dir;
        writeTitles(0, rejected);
        const QString pdf = dir.file(QStringLiteral("saida.pdf"));
        QProcess p;
        p.start(tool(), {QStringLiteral("--dir"), dir.path(), QStringLiteral("folha-solta"), pdf});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY2(QString::fromLocal8Bit(p.readAllStandardError()).contains(message),
                 qPrintable(message));
        QVERIFY(!QFile::exists(pdf));
    }

    // From the bank's type 4 record to the printed sheet, as the office runs it: the
    // payer's app reads back exactly what the bank registered.
    void aBankFilesPixPayloadScansFromThePrintedPage()
    {
        if (!BarcodeScan::available() || !TestSupport::haveProgram(QStringLiteral("pdftoppm")))
            QSKIP("zbarimg or pdftoppm is not installed");
        TempProgramDir dir;
        const QString beneficiary = QStringLiteral("CEDENTE DE TESTE");
        BankFileWriter::Title withPix;
        BankFileWriter::Title without;
        without.nossoNumero = QStringLiteral("0000000002");
        const QString payload = SampleBankFile::pixPayload(withPix, beneficiary);
        BankFileWriter w;
        w.header(QStringLiteral("01"), beneficiary);
        w.title(withPix);
        w.message(QStringLiteral("MENSAGEM"));
        w.pix(payload);
        w.title(without);
        w.trailer();
        const QString bank = dir.file(QStringLiteral("banco.rem"));
        QVERIFY(w.save(bank));
        int exit = -1;
        TestSupport::run(
            tool(), {QStringLiteral("--dir"), dir.path(), QStringLiteral("importar"), bank}, &exit);
        QCOMPARE(exit, 0);
        const QString pdf = dir.file(QStringLiteral("saida.pdf"));
        QCOMPARE(runTool(dir.path(), pdf).exit, 0);
        const QImage first = PageImages::rendered(pdf, 1, 200);
        QVERIFY(!first.isNull());
        QCOMPARE(BarcodeScan::qrCodes(first), payload);
        const QImage second = PageImages::rendered(pdf, 2, 200);
        QVERIFY(!second.isNull());
        QCOMPARE(BarcodeScan::qrCodes(second), QString());
    }
};

QTEST_GUILESS_MAIN(TstVerbFolhaSolta)
#include "tst_verbfolhasolta.moc"

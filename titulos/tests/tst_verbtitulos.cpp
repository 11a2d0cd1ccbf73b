// The batch tool's titles: "titulos" lists and writes CSV as the grid shows them, and
// "folha-solta --titulo" prints only the titles named, in the order given, read back from
// the PDF with poppler and zbarimg, with the updated value only when asked.

#include "BarcodeScan.h"
#include "BloquetoCode.h"
#include "BlqTitles.h"
#include "BlqUpgrade.h"
#include "Database.h"
#include "PageImages.h"
#include "Regional.h"
#include "TestSupport.h"
#include "TitleRows.h"
#include "UpdatedValue.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {
// Five titles, the fourth rejected; the second's payer has an accented name.
QList<BlqTitle> storeTitles()
{
    QList<BlqTitle> rows = TitleRows::numbered(5);
    rows[1].sacNom = QStringLiteral("JOSÉ D'ÁVILA; FILHOS");
    rows[1].cpfCgcSac = QStringLiteral("12345678909");
    rows[3].regVal = false;
    rows[3].msgErr = QStringLiteral("CEP INVÁLIDO");
    BlqTitles::store(rows);
    Database::closeAll(); // the tool opens the file itself
    return rows;
}

TestSupport::ToolRun tool(const TempProgramDir& dir, const QStringList& args)
{
    return TestSupport::kvcobLote(dir.path(), args);
}

// `kvcob-lote titulos OPTIONS` over the stored titles, in a program folder of its own.
TestSupport::ToolRun titulos(const QStringList& options)
{
    TempProgramDir dir;
    storeTitles();
    return tool(dir, QStringList{QStringLiteral("titulos")} + options);
}

QString pdfText(const QString& pdf)
{
    return QString::fromUtf8(TestSupport::run(QStringLiteral("pdftotext"),
                                              {QStringLiteral("-raw"), pdf, QStringLiteral("-")}));
}

} // namespace

class TstVerbTitulos : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Regional::setSeparators(QLatin1Char(','), QLatin1Char('.')); }
    void cleanup() { Database::closeAll(); }

    void listsWhatTheSearchFinds()
    {
        const auto r = titulos({QStringLiteral("--busca"), QStringLiteral("jose d'avila")});
        QCOMPARE(r.exitCode, 0);
        const QStringList lines = r.lines();
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines.at(1).contains(QStringLiteral("\"JOSÉ D'ÁVILA; FILHOS\";12345678909")),
                 qPrintable(lines.at(1)));
        QCOMPARE(lines.at(2), QStringLiteral("1 título(s) encontrado(s)"));
    }

    void writesTheCsvAsTheIndexIsWritten()
    {
        TempProgramDir dir;
        const QList<BlqTitle> rows = storeTitles();
        const QString csv = dir.file(QStringLiteral("lista.csv"));
        const auto r = tool(dir, {QStringLiteral("titulos"), QStringLiteral("--vencimento-de"),
                                  QStringLiteral("12/03/2026"), QStringLiteral("--csv"), csv});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains(QStringLiteral("4 título(s) encontrado(s)")), qPrintable(r.out));
        const QByteArray bytes = TestSupport::readFile(csv);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBFnosso_numero;seu_numero;sacado;"));
        const QList<QByteArray> lines = bytes.split('\n');
        QCOMPARE(lines.size(), 6); // header, four titles, the empty rest
        const BlqTitle& rejected = rows.at(3);
        const QByteArray expected =
            rejected.nosNum.toUtf8() + ';' + rejected.seuNum.toUtf8() + ';' +
            rejected.sacNom.toUtf8() + ';' + rejected.cpfCgcSac.toUtf8() + ";14/03/2026;" +
            QByteArray::number(BlqTitle::cents(rejected.titVal) / 100) + ',' +
            QByteArray::number(BlqTitle::cents(rejected.titVal) % 100).rightJustified(2, '0') +
            ';' + rejected.nomCed.toUtf8() + ";Em aberto;CEP INVÁLIDO\r";
        QCOMPARE(lines.at(3), expected);
    }

    void refusesADateItCannotRead()
    {
        const auto r = titulos({QStringLiteral("--vencimento-ate"), QStringLiteral("31/02/2026")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(QStringLiteral("Data inválida em --vencimento-ate")),
                 qPrintable(r.err));
    }

    void printsOnlyTheTitlesNamedInTheirOrder_data()
    {
        QTest::addColumn<bool>("updated");
        QTest::newRow("as the titles are") << false;
        QTest::newRow("with the updated value") << true;
    }
    void printsOnlyTheTitlesNamedInTheirOrder()
    {
        QFETCH(bool, updated);
        if (!BarcodeScan::available() || !TestSupport::haveProgram(QStringLiteral("pdftoppm")) ||
            !TestSupport::haveProgram(QStringLiteral("pdftotext")))
            QSKIP("zbarimg, pdftoppm or pdftotext is not installed");
        TempProgramDir dir;
        const QList<BlqTitle> rows = storeTitles();
        const QList<BlqTitle> chosen = {rows.at(4), rows.at(0), rows.at(2)};
        const QString pdf = dir.file(QStringLiteral("tres.pdf"));
        QStringList args = {QStringLiteral("folha-solta")};
        for (const BlqTitle& t : chosen)
            args << QStringLiteral("--titulo") << t.nosNum;
        if (updated)
            args << QStringLiteral("--valor-atualizado");
        const auto r = tool(dir, args << pdf);
        QCOMPARE(r.exitCode, 0);
        const QStringList pages = pdfText(pdf).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        QCOMPARE(pages.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const BlqTitle& t = chosen.at(i);
            const BloquetoCode code = TitleRows::codeOf(t);
            QVERIFY2(pages.at(i).contains(t.sacNom), qPrintable(t.sacNom));
            QVERIFY(pages.at(i).contains(code.typeableLine()));
            // The title's own value, whatever is added to the instructions.
            QVERIFY(pages.at(i).contains(Regional::formatCents(BlqTitle::cents(t.titVal))));
            const QString sentence =
                UpdatedValue::sentence(UpdatedValue::compute(t, QDate::currentDate()));
            QVERIFY(!sentence.isEmpty()); // every one of them is overdue by now
            QCOMPARE(pages.at(i).contains(sentence), updated);
            QCOMPARE(pages.at(i).contains(QStringLiteral("Valor atualizado")), updated);
            const QImage image = PageImages::rendered(pdf, i + 1, 300);
            QCOMPARE(BarcodeScan::interleaved25(image).trimmed(), code.barcode());
        }
    }

    void aWrongNumberPrintsNothingAndIsNamed_data()
    {
        QTest::addColumn<int>("wrong"); // -1 unknown, else the row of a rejected title
        QTest::addColumn<QString>("named");
        QTest::newRow("unknown") << -1 << QStringLiteral("não está na base: 99999999999");
        QTest::newRow("rejected") << 3 << QStringLiteral("título rejeitado: ");
    }
    void aWrongNumberPrintsNothingAndIsNamed()
    {
        QFETCH(int, wrong);
        QFETCH(QString, named);
        TempProgramDir dir;
        const QList<BlqTitle> rows = storeTitles();
        const QString number = wrong < 0 ? QStringLiteral("99999999999") : rows.at(wrong).nosNum;
        for (const bool perTitle : {false, true}) {
            const QString out =
                dir.file(perTitle ? QStringLiteral("pasta") : QStringLiteral("saida.pdf"));
            QStringList args = {QStringLiteral("folha-solta"), QStringLiteral("--titulo"),
                                rows.at(0).nosNum, QStringLiteral("--titulo"), number};
            if (perTitle)
                args << QStringLiteral("--por-titulo");
            const auto r = tool(dir, args << out);
            QCOMPARE(r.exitCode, 1);
            QVERIFY2(r.err.contains(named) && r.err.contains(number), qPrintable(r.err));
            QVERIFY(!QFile::exists(out));
        }
    }

    void writesOneFilePerNamedTitle()
    {
        TempProgramDir dir;
        const QList<BlqTitle> rows = storeTitles();
        const QString folder = dir.file(QStringLiteral("pasta"));
        const auto r = tool(dir, {QStringLiteral("folha-solta"), QStringLiteral("--titulo"),
                                  rows.at(2).nosNum, QStringLiteral("--titulo"), rows.at(1).nosNum,
                                  QStringLiteral("--por-titulo"), folder});
        QCOMPARE(r.exitCode, 0);
        const QList<QByteArray> index =
            TestSupport::readFile(folder + QStringLiteral("/indice.csv")).split('\n');
        QCOMPARE(index.size(), 4);
        QVERIFY(index.at(1).contains(rows.at(2).nosNum.toUtf8()));
        QVERIFY(index.at(2).contains(rows.at(1).nosNum.toUtf8()));
    }
};

QTEST_MAIN(TstVerbTitulos)
#include "tst_verbtitulos.moc"

#include "BankFileWriter.h"
#include "BarcodeScan.h"
#include "BlqTitles.h"
#include "Database.h"
#include "IniFile.h"
#include "PageImages.h"
#include "SampleBankFile.h"
#include "TestSupport.h"
#include "TitleFileNames.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {
QString tool()
{
    return TestSupport::program(QStringLiteral("kvcob-lote"));
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

QList<BlqTitle> writeTitles(int valid, int rejected, const QString& beneficiaryOfSecond = {})
{
    BlqTitles::fill(0);
    QList<BlqTitle> rows;
    for (int n = 1; n <= valid + rejected; ++n) {
        BlqTitle row = BlqTitles::numbered(n);
        row.regVal = n <= valid;
        if (n == 2 && !beneficiaryOfSecond.isEmpty())
            row.nomCed = beneficiaryOfSecond;
        rows << row;
    }
    BlqTitles::store(rows);
    Database::closeAll(); // the tool opens the file itself
    return rows;
}

QString fileNameOf(const BlqTitle& t)
{
    return TitleFileNames::baseName(t.seuNum, t.nosNum);
}

struct Finished {
    int exit = -2;
    QString output; // standard output and error
};

// The tool as a shell started it, `limits` set first (ulimit -f and the like).
Finished runShell(const QString& limits, const QStringList& args)
{
    Finished f;
    f.output = QString::fromLocal8Bit(
        TestSupport::run(QStringLiteral("bash"),
                         QStringList{QStringLiteral("-c"),
                                     limits + QStringLiteral("; exec \"$0\" \"$@\" 2>&1"), tool()} +
                             args,
                         &f.exit));
    return f;
}

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}

Finished runPerTitle(const QString& limits, const QString& dir, const QString& folder)
{
    return runShell(limits, {QStringLiteral("--dir"), dir, QStringLiteral("folha-solta"),
                             QStringLiteral("--por-titulo"), folder});
}

QStringList indexedFiles(const QString& folder)
{
    QFile f(QDir(folder).filePath(QStringLiteral("indice.csv")));
    if (!f.open(QIODevice::ReadOnly))
        return {QStringLiteral("(no index)")};
    QStringList out;
    for (const QByteArray& line : f.readAll().split('\n').mid(1)) {
        if (!line.isEmpty())
            out << QString::fromUtf8(line.left(line.indexOf(';')));
    }
    return out;
}

// Every file and folder under `top` that other accounts can read or enter.
QStringList openToOthers(const QString& top)
{
    QStringList out;
    QDirIterator it(top, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        if (info.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup |
                                  QFile::WriteOther | QFile::ExeGroup | QFile::ExeOther))
            out << info.filePath();
    }
    return out;
}

void planted(const QString& path, QFile::Permissions permissions)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("older");
    f.close();
    QVERIFY(f.setPermissions(permissions));
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

    void perTitleWritesAFolderAndItsIndex()
    {
        TempProgramDir dir;
        const QList<BlqTitle> rows = writeTitles(3, 1);
        const QString folder = dir.file(QStringLiteral("por titulo"));
        const Finished f = runPerTitle(QStringLiteral("true"), dir.path(), folder);
        QCOMPARE(f.exit, 0);
        QVERIFY2(
            f.output.contains(QStringLiteral("3 bloqueto(s) gravado(s), um arquivo por título, "
                                             "em %1 (índice indice.csv)")
                                  .arg(folder)),
            qPrintable(f.output));
        const QStringList names = {fileNameOf(rows[0]), fileNameOf(rows[1]), fileNameOf(rows[2])};
        QCOMPARE(indexedFiles(folder), names);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name),
                 sorted(QStringList(names) << QStringLiteral("indice.csv")));
    }

    // Payers' data stays the user's: under an open umask the database (made open by an
    // older version) and its journals, the folder made for the files, each file and the
    // index are private, and so are older files replaced.
    void perTitleFilesArePrivate()
    {
        TempProgramDir dir;
        const QList<BlqTitle> rows = writeTitles(2, 0);
        const QFile::Permissions open =
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
        QVERIFY(QFile::setPermissions(dir.file(QStringLiteral("cobrancaKV.db")), open));
        const QString folder = dir.file(QStringLiteral("nova/por titulo"));
        Finished f = runPerTitle(QStringLiteral("umask 022"), dir.path(), folder);
        QCOMPARE(f.exit, 0);
        QCOMPARE(openToOthers(dir.path()), QStringList());

        // Files of an older run, open to all, replaced by a new one.
        const QString first = QDir(folder).filePath(fileNameOf(rows[0]));
        planted(first, open);
        planted(QDir(folder).filePath(QStringLiteral("indice.csv")), open);
        f = runPerTitle(QStringLiteral("umask 022"), dir.path(), folder);
        QCOMPARE(f.exit, 0);
        QCOMPARE(openToOthers(dir.path()), QStringList());
        QVERIFY(QFile(first).size() > 1000); // the new file, not the planted one

        // A stricter umask of the user's own stays stricter.
        QFile::remove(first);
        f = runPerTitle(QStringLiteral("umask 0277"), dir.path(), folder);
        QCOMPARE(f.exit, 0);
        // (Owner, group and others only: the user's own bits depend on who runs the test.)
        QCOMPARE(QFile(first).permissions() & 0x7077, QFile::ReadOwner);
    }

    // A run killed while writing leaves hidden temporary files; the next run into the
    // folder removes them, and nothing else.
    void perTitleRunRemovesWhatAKilledRunLeft()
    {
        TempProgramDir dir;
        const QList<BlqTitle> rows = writeTitles(1, 0);
        const QString folder = dir.file(QStringLiteral("saida"));
        QVERIFY(QDir().mkpath(folder));
        const QStringList gone = {QStringLiteral(".") + fileNameOf(rows[0]) +
                                      QStringLiteral(".Xy12Ab"),
                                  QStringLiteral(".OUTRO TITULO.pdf.000aaa")};
        const QStringList kept = {
            QStringLiteral(".notas.pdf.Xy12A"), QStringLiteral(".planilha.ods.Xy12Ab"),
            QStringLiteral("carta.pdf.Xy12Ab"), QStringLiteral(".indice.csv.Xy12Ab")};
        for (const QString& name : gone + kept)
            planted(QDir(folder).filePath(name), QFile::ReadOwner | QFile::WriteOwner);
        const Finished f = runPerTitle(QStringLiteral("true"), dir.path(), folder);
        QCOMPARE(f.exit, 0);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name),
                 sorted(QStringList(kept) << fileNameOf(rows[0]) << QStringLiteral("indice.csv")));
    }

    // A write the system refuses halfway through the run (here the session's file size
    // limit, below what the second title's picture needs): the run stops there, naming the
    // file, with the first file complete and alone in the index.
    void perTitleWriteFailureKeepsTheFilesBefore()
    {
        TempProgramDir dir;
        const QString heavy = QStringLiteral("CEDENTE DE LOGO GRANDE");
        QImage noise(520, 520, QImage::Format_RGB32);
        for (int y = 0; y < noise.height(); ++y) {
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, QRandomGenerator::global()->generate() | 0xFF000000u);
        }
        const QString logo = dir.file(QStringLiteral("grande.bmp"));
        QVERIFY(noise.save(logo, "BMP"));
        KvSettings::file().writeString(heavy, QStringLiteral("Recibo"), logo);
        const QList<BlqTitle> rows = writeTitles(4, 0, heavy);
        const QString folder = dir.file(QStringLiteral("saida"));
        const Finished f =
            runPerTitle(QStringLiteral("trap '' XFSZ; ulimit -f 400"), dir.path(), folder);
        QCOMPARE(f.exit, 1);
        const QString second = QDir(folder).filePath(fileNameOf(rows[1]));
        QVERIFY2(
            f.output.contains(QStringLiteral("Não foi possível gravar o arquivo %1").arg(second)),
            qPrintable(f.output));
        QVERIFY2(f.output.contains(QStringLiteral("Os 1 arquivo(s) gravados antes dele")),
                 qPrintable(f.output));
        QCOMPARE(indexedFiles(folder), QStringList{fileNameOf(rows[0])});
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name),
                 sorted({fileNameOf(rows[0]), QStringLiteral("indice.csv")}));
    }

    void perTitleUsage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("a folder and a file")
            << QStringList{QStringLiteral("--por-titulo"), QStringLiteral("pasta"),
                           QStringLiteral("saida.pdf")}
            << QStringLiteral("Informe a pasta de --por-titulo ou o arquivo PDF, não os dois.");
        QTest::newRow("a folder and a printer")
            << QStringList{QStringLiteral("--por-titulo"), QStringLiteral("pasta"),
                           QStringLiteral("--impressora"), QStringLiteral("fila")}
            << QStringLiteral("--por-titulo grava arquivos; não vale com --impressora.");
        QTest::newRow("no folder")
            << QStringList{QStringLiteral("--por-titulo=")}
            << QStringLiteral("Informe a pasta dos arquivos em --por-titulo.");
    }
    void perTitleUsage()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        TempProgramDir dir;
        writeTitles(1, 0);
        const Finished f = runShell(
            QStringLiteral("cd ") + dir.path(),
            QStringList{QStringLiteral("--dir"), dir.path(), QStringLiteral("folha-solta")} + args);
        QCOMPARE(f.exit, 1);
        QVERIFY2(f.output.contains(message), qPrintable(f.output));
        QVERIFY2(f.output.contains(QStringLiteral("[--por-titulo PASTA] [--pendentes] SAIDA.pdf")),
                 qPrintable(f.output));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
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

// The single-sheet bloquetos one file per title: the files as a payer gets them, the
// index beside them, and what a run that fails midway leaves in the folder.

#include "BarcodeScan.h"
#include "BloquetoCode.h"
#include "BloquetoFiles.h"
#include "BlqTitles.h"
#include "Database.h"
#include "IniFile.h"
#include "KvError.h"
#include "PageImages.h"
#include "RelBloqueto.h"
#include "TestEnvironment.h"
#include "TestSupport.h"
#include "TitleFileNames.h"

#include <QDir>
#include <QImage>
#include <QtTest>

namespace {
// As the page made it, today.
BloquetoCode codeOf(const BlqTitle& t)
{
    return BloquetoCode::compose(
        {t.ageCod, t.nosNum, t.ctrCod, BlqTitle::cents(t.titVal), t.datVen});
}

// Titles whose names try the rules: blanks and accents, two alike, none at all; values
// and dates at their edges; two beneficiaries.
QList<BlqTitle> namedRows()
{
    QList<BlqTitle> rows;
    for (int n = 1; n <= 5; ++n)
        rows << BlqTitles::numbered(n * 7919);
    rows[0].seuNum = QStringLiteral(" NF 41/Ç ");
    rows[1].seuNum = rows[2].seuNum = QStringLiteral("DUP");
    rows[1].nosNum = rows[2].nosNum;
    rows[2].sacNom = QStringLiteral("BAR \"DO ZÉ\"; FILIAL");
    rows[2].titVal = 0;
    rows[3].seuNum = QString();
    rows[3].datVen = QDate();
    rows[3].idcAvi = true;
    rows[4].titVal = 99999999.99;
    return rows;
}

const QStringList kNames = {QStringLiteral("NF_41__-%1.pdf"), QStringLiteral("DUP-%1.pdf"),
                            QStringLiteral("DUP-%1-2.pdf"), QStringLiteral("%1.pdf"),
                            QStringLiteral("DOC0039595-%1.pdf")};

QStringList expectedNames(const QList<BlqTitle>& rows)
{
    QStringList out;
    for (int i = 0; i < rows.size(); ++i)
        out << kNames.at(i).arg(rows.at(i).nosNum);
    return out;
}

QString fileNameOf(const BlqTitle& t)
{
    return TitleFileNames::baseName(t.seuNum, t.nosNum);
}

QString pdfText(const QString& pdf, const QString& program, const QStringList& args = {})
{
    return QString::fromUtf8(TestSupport::run(program, args + QStringList{pdf}));
}

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}

// Everything the folder holds, hidden files included.
QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

QStringList indexLines(const QString& folder)
{
    QFile f(QDir(folder).filePath(BloquetoFiles::indexName()));
    if (!f.open(QIODevice::ReadOnly))
        return {QStringLiteral("(no index)")};
    const QByteArray bytes = f.readAll();
    if (!bytes.startsWith("\xEF\xBB\xBF"))
        return {QStringLiteral("(no byte-order mark)")};
    QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList indexedFiles(const QString& folder)
{
    QStringList out;
    for (const QString& l : indexLines(folder).mid(1))
        out << l.section(QLatin1Char(';'), 0, 0);
    return out;
}

// A picture for a beneficiary's receipt logo, of a size that tells it apart.
void setLogo(const TempProgramDir& dir, const QString& beneficiary, QSize size, QColor color)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(color);
    const QString path = dir.file(beneficiary.left(4) + QStringLiteral(".bmp"));
    QVERIFY(img.save(path, "BMP"));
    KvSettings::file().writeString(beneficiary, QStringLiteral("Recibo"), path);
}

QString filesMessage(const std::function<void()>& run)
{
    try {
        run();
    } catch (const KvError& e) {
        return e.userText();
    }
    return QStringLiteral("(no error)");
}
} // namespace

class TstBloquetoFiles : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
private Q_SLOTS:
    void cleanup() { m_env.cleanup(); }

    // What a payer opens: one page, his barcode, his name; what a mail merge reads: the
    // index, in the same order.
    void everyFileIsOnePageOfItsTitle()
    {
        if (!BarcodeScan::available() || !TestSupport::haveProgram(QStringLiteral("pdftoppm")))
            QSKIP("zbarimg or pdftoppm is not installed");
        TempProgramDir dir;
        QList<BlqTitle> rows = namedRows();
        BlqTitle rejected = BlqTitles::numbered(3);
        rejected.regVal = false;
        BlqTitles::fill(0);
        BlqTitles::store(rows.mid(0, 2) + QList<BlqTitle>{rejected} + rows.mid(2));
        const QString other = BlqTitles::numbered(3).nomCed; // every third title's
        setLogo(dir, rows[0].nomCed, QSize(44, 22), Qt::red);
        setLogo(dir, other, QSize(66, 33), Qt::blue);
        QVERIFY(rows[0].nomCed != other && rows[2].nomCed == other);

        RelBloqueto rel;
        rel.selectValidInFileOrder();
        const QString folder = dir.file(QStringLiteral("novos/bloquetos")); // made when missing
        QCOMPARE(BloquetoFiles::write(rel, folder), rows.size());

        const QStringList names = expectedNames(rows);
        QCOMPARE(entries(folder), sorted(QStringList(names) << BloquetoFiles::indexName()));
        QCOMPARE(indexedFiles(folder), names);
        for (int i = 0; i < rows.size(); ++i) {
            const QString pdf = QDir(folder).filePath(names.at(i));
            QVERIFY2(pdfText(pdf, QStringLiteral("pdfinfo"))
                         .contains(QStringLiteral("Pages:           1\n")),
                     qPrintable(names.at(i)));
            QCOMPARE(BarcodeScan::interleaved25(PageImages::rendered(pdf, 1, 300)),
                     codeOf(rows.at(i)).barcode());
            QVERIFY(QString::fromUtf8(
                        TestSupport::run(QStringLiteral("pdftotext"),
                                         {QStringLiteral("-raw"), pdf, QStringLiteral("-")}))
                        .contains(rows.at(i).sacNom.section(QLatin1Char(';'), 0, 0)));

            // It stands on its own: every face it shows embedded as a subset, only its own
            // beneficiary's logo among its pictures.
            const QStringList fonts = pdfText(pdf, QStringLiteral("pdffonts"))
                                          .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                          .mid(2);
            QVERIFY(!fonts.isEmpty());
            for (const QString& line : fonts)
                QVERIFY2(line.contains(
                             QRegularExpression(QStringLiteral("\\+\\S+\\s.*\\syes\\s+yes\\s"))),
                         qPrintable(line));
            const QString images =
                pdfText(pdf, QStringLiteral("pdfimages"), {QStringLiteral("-list")});
            const bool own = rows.at(i).nomCed == other;
            QVERIFY2(images.contains(QRegularExpression(own ? QStringLiteral("\\s66\\s+33\\s")
                                                            : QStringLiteral("\\s44\\s+22\\s"))),
                     qPrintable(images));
            QVERIFY2(!images.contains(QRegularExpression(own ? QStringLiteral("\\s44\\s+22\\s")
                                                             : QStringLiteral("\\s66\\s+33\\s"))),
                     qPrintable(images));
        }

        // The index line of each title as it printed.
        const QStringList lines = indexLines(folder);
        QCOMPARE(lines.first(), QStringLiteral("arquivo;seu_numero;nosso_numero;sacado;"
                                               "cpf_cnpj_sacado;vencimento;valor;linha_digitavel"));
        const BlqTitle& t = rows[0];
        QCOMPARE(lines.at(1), QStringLiteral("%1;NF 41/Ç;%2;%3;%4;%5;%6;%7")
                                  .arg(names.at(0), t.nosNum, t.sacNom, t.cpfCgcSac,
                                       t.datVen.toString(QStringLiteral("dd/MM/yyyy")),
                                       QString::number(BlqTitle::cents(t.titVal) / 100.0, 'f', 2)
                                           .replace(QLatin1Char('.'), QLatin1Char(',')),
                                       codeOf(t).typeableLine()));
        QVERIFY2(lines.at(3).startsWith(names.at(2) + QStringLiteral(";DUP;") + rows[2].nosNum +
                                        QStringLiteral(";\"BAR \"\"DO ZÉ\"\"; FILIAL\";")),
                 qPrintable(lines.at(3)));
        QVERIFY(lines.at(3).contains(QStringLiteral(";0,00;")));
        QVERIFY2(lines.at(4).startsWith(names.at(3) + QStringLiteral(";;") + rows[3].nosNum),
                 qPrintable(lines.at(4)));
        QVERIFY(lines.at(4).contains(rows[3].cpfCgcSac + QStringLiteral(";;")));
        QVERIFY(lines.at(5).contains(QStringLiteral(";99999999,99;")));
    }

    // A folder the user already keeps things in: only the names of the run change.
    void writingIntoAFolderTouchesOnlyItsNames()
    {
        TempProgramDir dir;
        const QList<BlqTitle> rows = {BlqTitles::numbered(1), BlqTitles::numbered(2)};
        BlqTitles::fill(0);
        BlqTitles::store(rows);
        const QString folder = dir.file(QStringLiteral("saida"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/sub")));
        const QString same = fileNameOf(rows.at(0));
        const auto put = [&](const QString& name, const QByteArray& bytes) {
            QFile f(QDir(folder).filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        put(QStringLiteral("carta.txt"), "do usuário");
        put(QStringLiteral("sub/x.pdf"), "dentro");
        put(same, "antigo");
        put(BloquetoFiles::indexName(), "velho");

        RelBloqueto rel;
        rel.selectValidInFileOrder();
        QCOMPARE(BloquetoFiles::write(rel, folder), 2);
        QCOMPARE(entries(folder), sorted({QStringLiteral("carta.txt"), QStringLiteral("sub"), same,
                                          fileNameOf(rows.at(1)), BloquetoFiles::indexName()}));
        const auto read = [&](const QString& name) {
            QFile f(QDir(folder).filePath(name));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
        };
        QCOMPARE(read(QStringLiteral("carta.txt")), QByteArray("do usuário"));
        QCOMPARE(read(QStringLiteral("sub/x.pdf")), QByteArray("dentro"));
        QVERIFY(read(same).startsWith("%PDF-1.4"));
        QCOMPARE(indexedFiles(folder), (QStringList{same, fileNameOf(rows.at(1))}));
    }

    void noValidTitleWritesNothing()
    {
        TempProgramDir dir;
        BlqTitle t = BlqTitles::numbered(1);
        t.regVal = false;
        BlqTitles::fill(0);
        BlqTitles::store({t});
        RelBloqueto rel;
        rel.selectValidInFileOrder();
        const QString folder = dir.file(QStringLiteral("saida"));
        QCOMPARE(BloquetoFiles::write(rel, folder), 0);
        QVERIFY(!QFileInfo::exists(folder));
    }

    // A failure midway: the files before it stay complete and indexed, the failed one
    // leaves nothing, no later one is begun, and the message names the file.
    void failureInTheMiddleKeepsTheFilesBefore_data()
    {
        QTest::addColumn<int>("threads");
        QTest::addColumn<QString>("how");
        for (int threads : {1, 2}) {
            const char* suffix = threads == 1 ? "one thread" : "two threads";
            QTest::addRow("the third name is a folder, %s", suffix)
                << threads << QStringLiteral("folder");
            QTest::addRow("the third logo is missing, %s", suffix)
                << threads << QStringLiteral("logo");
        }
    }
    void failureInTheMiddleKeepsTheFilesBefore()
    {
        QFETCH(int, threads);
        QFETCH(QString, how);
        TempProgramDir dir;
        QList<BlqTitle> rows;
        for (int n = 1; n <= 6; ++n)
            rows << BlqTitles::numbered(n);
        const QString folder = dir.file(QStringLiteral("saida"));
        const QStringList names = {fileNameOf(rows[0]), fileNameOf(rows[1]), fileNameOf(rows[2])};
        if (how == QStringLiteral("folder")) {
            QVERIFY(QDir().mkpath(QDir(folder).filePath(names[2])));
        } else {
            rows[2].nomCed = rows[3].nomCed = QStringLiteral("SEM LOGO");
            KvSettings::file().writeString(rows[2].nomCed, QStringLiteral("Recibo"),
                                           dir.file(QStringLiteral("sumiu.bmp")));
        }
        BlqTitles::fill(0);
        BlqTitles::store(rows);
        RelBloqueto rel;
        rel.selectValidInFileOrder();
        BloquetoFiles::Options options;
        options.threads = threads == 1 ? RpPdfSeries::Threads::One : RpPdfSeries::Threads::Two;
        const QString message = filesMessage([&] { BloquetoFiles::write(rel, folder, options); });

        if (how == QStringLiteral("folder")) {
            QVERIFY2(message.startsWith(QStringLiteral("Não foi possível gravar o arquivo ") +
                                        QDir(folder).filePath(names[2]) + QLatin1Char(':')),
                     qPrintable(message));
        } else {
            QVERIFY2(message.startsWith(QStringLiteral("Arquivo de Logomarca não encontrado\n")),
                     qPrintable(message));
        }
        QVERIFY2(message.contains(QStringLiteral("Os 2 arquivo(s) gravados antes dele estão "
                                                 "completos e listados em ")),
                 qPrintable(message));
        QStringList left = {names[0], names[1], BloquetoFiles::indexName()};
        if (how == QStringLiteral("folder"))
            left << names[2]; // the folder in its way, untouched
        QCOMPARE(entries(folder), sorted(left));
        QCOMPARE(indexedFiles(folder), names.mid(0, 2));
        for (const QString& name : names.mid(0, 2))
            QVERIFY(pdfText(QDir(folder).filePath(name), QStringLiteral("pdfinfo"))
                        .contains(QStringLiteral("Pages:           1\n")));
    }

    // The folder taken away while the files are being written.
    void folderRemovedMidwayStopsTheRun()
    {
        TempProgramDir dir;
        BlqTitles::fill(40);
        const QString folder = dir.file(QStringLiteral("saida"));
        RelBloqueto rel;
        rel.selectValidInFileOrder();
        BloquetoFiles::Options options;
        int pages = 0;
        options.onPage = [&](int n) {
            pages = n;
            // The writing thread may put a new file in while the folder is emptied: the
            // removal is tried again until the folder is gone.
            if (n == 5) {
                for (int i = 0; i < 50 && QFileInfo::exists(folder); ++i)
                    QDir(folder).removeRecursively();
                QVERIFY(!QFileInfo::exists(folder));
            }
        };
        const QString message = filesMessage([&] { BloquetoFiles::write(rel, folder, options); });
        QVERIFY2(message.startsWith(QStringLiteral("Não foi possível gravar o arquivo ") + folder +
                                    QLatin1Char('/')),
                 qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("A pasta %1 não existe mais").arg(folder)),
                 qPrintable(message));
        QVERIFY(message.contains(QStringLiteral("o índice ")) ||
                message.contains(QStringLiteral("Nenhum arquivo")));
        QVERIFY2(pages < 40, "the run went on after the failure");
        QVERIFY(!QFileInfo::exists(folder));
    }
};

QTEST_MAIN(TstBloquetoFiles)
#include "tst_bloquetofiles.moc"

// The first pages of the bundled sample (exemplos/cobranca-exemplo.rem) as a whole: the
// first single-sheet bloqueto, the first continuous form and the first page of the
// rejected titles, each dumped element by element from what the program makes (the page
// store's display list; the dot-matrix lines for the form) and compared with the dumps
// committed under bloquetos/tests/golden. Any change of place, font or text on these
// pages fails here, whichever file made it (a report definition, a handler, the fonts).
//
// A change made on purpose is taken by writing the dumps again and reviewing their diff:
//   KVCOB_REGENERATE_GOLDEN=1 ctest --test-dir build -R tst_goldenpages

#include "BankFileImporter.h"
#include "BlqUpgrade.h"
#include "Clock.h"
#include "ContinuoSelection.h"
#include "Cp1252.h"
#include "Database.h"
#include "DbTable.h"
#include "DotMatrixPage.h"
#include "Regional.h"
#include "RelBloqueto.h"
#include "RelRejeicoes.h"
#include "Report.h"
#include "TestSupport.h"

#include <QFile>
#include <QtTest>

namespace {
// Micrometres as tenths of a millimetre, with the hundredths only where there are some.
QString tenths(qint32 um)
{
    if (um % 100 == 0)
        return QString::number(um / 100);
    return QString::number(um / 100.0, 'f', 2);
}

QString fontText(const RpFont& f)
{
    return QStringLiteral("%1 %2%3").arg(f.name).arg(f.size).arg(f.bold ? QStringLiteral(" bold")
                                                                        : QString());
}

QString colorText(quint32 argb)
{
    return QStringLiteral("#%1").arg(argb, 8, 16, QLatin1Char('0'));
}

// One line per element, in drawing order: kind, position and size in tenths of a
// millimetre from the paper's top-left corner, then what the kind carries.
QString dumpPage(const TRpPrinter& store, int index)
{
    QStringList out;
    out << QStringLiteral("paper %1 x %2%3")
               .arg(tenths(store.paperSize().width()), tenths(store.paperSize().height()),
                    store.landscape() ? QStringLiteral(" landscape") : QString());
    const RpPage& page = store.page(index);
    for (const RpOp& op : page.ops) {
        const QString at = QStringLiteral("%1 %2").arg(tenths(op.x), tenths(op.y));
        const QString box = QStringLiteral("%1 %2 %3 %4")
                                .arg(tenths(op.x), tenths(op.y), tenths(op.w), tenths(op.h));
        switch (op.kind) {
        case RpOp::Text:
            out << QStringLiteral("text %1 [%2] %3 \"%4\"")
                       .arg(at, fontText(store.fonts().at(op.arg)), colorText(op.color),
                            page.textOf(op).toString());
            break;
        case RpOp::Fill:
            out << QStringLiteral("fill %1 %2").arg(box, colorText(op.fill));
            break;
        case RpOp::Line:
            out << QStringLiteral("line %1 pen %2 style %3 %4")
                       .arg(box)
                       .arg(op.arg)
                       .arg(op.style)
                       .arg(colorText(op.color));
            break;
        case RpOp::Box:
            out << QStringLiteral("box %1 pen %2 style %3 %4 fill %5")
                       .arg(box)
                       .arg(op.arg)
                       .arg(op.style)
                       .arg(colorText(op.color), colorText(op.fill));
            break;
        case RpOp::Picture: {
            const QImage& picture = store.pictures().at(op.arg);
            out << QStringLiteral("picture %1 drawn %2 %3 %4 %5 image %6x%7")
                       .arg(box, tenths(op.p1), tenths(op.p2), tenths(op.w2), tenths(op.h2))
                       .arg(picture.width())
                       .arg(picture.height());
            break;
        }
        case RpOp::Modules:
            out << QStringLiteral("modules %1 side %2 %3")
                       .arg(box)
                       .arg(op.arg)
                       .arg(colorText(op.fill));
            break;
        }
    }
    return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

// The form as the printer gets it, one numbered line per line, the bytes read as
// Windows-1252 and the control bytes written as \xNN.
QString dumpLines(const QList<QByteArray>& lines)
{
    QStringList out;
    int number = 0;
    for (const QByteArray& line : lines) {
        QString shown;
        for (char c : line) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte == 0x7f || c == '\\')
                shown += QStringLiteral("\\x%1").arg(uint(byte), 2, 16, QLatin1Char('0'));
            else
                shown += Cp1252::decode(QByteArray(1, c));
        }
        out << QStringLiteral("%1|%2|").arg(++number, 2, 10, QLatin1Char('0')).arg(shown);
    }
    return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString goldenPath(const QString& name)
{
    return TestSupport::sourceDir() + QStringLiteral("/bloquetos/tests/golden/") + name;
}

// Compares with the committed dump; with KVCOB_REGENERATE_GOLDEN=1 writes it instead.
// The first differing line is shown, with its neighbours' numbers, to find the element.
void compareWithGolden(const QString& name, const QString& actual)
{
    const QString path = goldenPath(name);
    if (qEnvironmentVariableIntValue("KVCOB_REGENERATE_GOLDEN") == 1) {
        QFile out(path);
        QVERIFY2(out.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
        out.write(actual.toUtf8());
        qWarning("%s written again", qPrintable(path));
        return;
    }
    QFile in(path);
    QVERIFY2(in.open(QIODevice::ReadOnly), qPrintable(path + QStringLiteral(" is missing")));
    const QStringList expected = QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'));
    const QStringList got = actual.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < qMax(expected.size(), got.size()); ++i) {
        const QString e = expected.value(i, QStringLiteral("<end>"));
        const QString g = got.value(i, QStringLiteral("<end>"));
        if (e != g)
            QFAIL(qPrintable(QStringLiteral("%1 line %2:\n  expected: %3\n  actual:   %4")
                                 .arg(name)
                                 .arg(i + 1)
                                 .arg(e, g)));
    }
}

QString sampleFile()
{
    return TestSupport::sourceDir() + QStringLiteral("/exemplos/cobranca-exemplo.rem");
}

// Produces the report `rel` and compares its first page with the golden file `name`.
template <typename Report> void compareFirstPage(Report& rel, const QString& name)
{
    TRpPrinter store;
    rel.produce(store);
    QVERIFY(store.pageCount() > 0);
    compareWithGolden(name, dumpPage(store, 0));
}
} // namespace

class TstGoldenPages : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        Clock::setFixed(QDateTime(QDate(2026, 2, 20), QTime(9, 30)));
        Regional::setSeparators(QLatin1Char(','), QLatin1Char('.'));
        BlqUpgrade::upgradeIfNeeded();
        DbTable table;
        BankFileImporter importer(table);
        importer.importFile(sampleFile());
        table.close();
    }
    void cleanup() { Database::closeAll(); }
    void cleanupTestCase() { Clock::setFixed(QDateTime()); }

    void firstSingleSheetPage()
    {
        RelBloqueto rel;
        rel.selectValidInFileOrder();
        compareFirstPage(rel, QStringLiteral("folha-solta-1.txt"));
    }

    void firstContinuousForm_data()
    {
        QTest::addColumn<FormModel>("model");
        QTest::addColumn<QString>("name");
        QTest::newRow("grande") << FormModel::Large << QStringLiteral("continuo-grande-1.txt");
        QTest::newRow("pequeno") << FormModel::Small << QStringLiteral("continuo-pequeno-1.txt");
    }
    void firstContinuousForm()
    {
        QFETCH(FormModel, model);
        QFETCH(QString, name);
        const QList<BlqTitle> rows = ContinuoSelection::rows(true);
        QVERIFY(!rows.isEmpty());
        QList<QByteArray> lines = DotMatrixPage::initLines(MatricialIni::defaults());
        lines << DotMatrixPage::layoutLines(rows.first(), model);
        lines << DotMatrixPage::separatorLines();
        compareWithGolden(name, dumpLines(lines));
    }

    void firstRejectedTitlesPage()
    {
        RelRejeicoes rel;
        rel.open();
        compareFirstPage(rel, QStringLiteral("rejeitados-1.txt"));
    }

private:
    TempProgramDir m_dir;
};

QTEST_MAIN(TstGoldenPages)
#include "tst_goldenpages.moc"

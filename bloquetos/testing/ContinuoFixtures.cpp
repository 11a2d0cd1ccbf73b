#include "ContinuoFixtures.h"

#include "TestSupport.h"

#include "BlqTitles.h"
#include "FormModel.h"
#include "ProgramDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {
QByteArray blanks(int n)
{
    return QByteArray(n, ' ');
}

QByteArray line(const QByteArray& text)
{
    return text + "\r\n";
}

// Lines 8 to 29 of the worked example, the same in both models but for the memo width.
QByteArray exampleTail(int memoWidth)
{
    QByteArray out = line(" ");              // 8
    out += line(" ") + line("") + line(" "); // 9 to 11: interest, discount, rebate
    for (int i = 0; i < 5; ++i)              // 12 to 16
        out += line(blanks(memoWidth));
    out += line(" ") + line(" ");          // 17, 18
    out += line("    - ");                 // 19
    out += line(" - ");                    // 20
    out += line(" -  - CEP " + blanks(8)); // 21
    for (int i = 0; i < 8; ++i)            // 22 to 29
        out += line(" ");
    return out;
}
} // namespace

BlqTitle ContinuoFixtures::example()
{
    BlqTitle t = BlqTitles::ofContract();
    t.seuNum = QStringLiteral("ABC");
    t.datVen = QDate(2003, 3, 5);
    t.datEmi = QDate(2003, 2, 1);
    t.titVal = 1234.50;
    return t;
}

BlqTitle ContinuoFixtures::exampleRow()
{
    BlqTitle r;
    r.seq = 7;
    r.seuNum = QStringLiteral("ABC");
    r.datVen = QDate(2003, 3, 5);
    r.datEmi = QDate(2003, 2, 1);
    r.titVal = 1234.50;
    return r;
}

QList<BlqTitle> ContinuoFixtures::numbered(int count)
{
    QList<BlqTitle> out;
    for (int i = 1; i <= count; ++i) {
        BlqTitle t = example();
        t.seuNum = QStringLiteral("T%1").arg(i);
        out << t;
    }
    return out;
}

BlqTitle ContinuoFixtures::ofAgency(const QString& age, const QString& seu, bool valid)
{
    BlqTitle t = example();
    t.ageCod = age;
    t.nomCed = QStringLiteral("CEDENTE ") + age;
    t.seuNum = seu;
    return valid ? t : rejected(t);
}

BlqTitle ContinuoFixtures::rejected(BlqTitle title)
{
    title.regVal = false;
    title.msgErr = QStringLiteral("Rejeitado");
    return title;
}

void ContinuoFixtures::addRejected(int count)
{
    QList<BlqTitle> out;
    for (int i = 0; i < count; ++i) {
        BlqTitle t = rejected(BlqTitles::ofContract());
        t.seuNum = QStringLiteral("R%1").arg(i + 1);
        out << t;
    }
    BlqTitles::store(out);
}

void ContinuoFixtures::configurePort(const QString& target)
{
    // The other sections (the database alias of a test on the server) stay as they are.
    QFile conf(ProgramDir::file(QStringLiteral("kvcob.conf")));
    QByteArray kept;
    if (conf.open(QIODevice::ReadOnly)) {
        bool inPorts = false;
        for (const QByteArray& line : conf.readAll().split('\n')) {
            if (line.startsWith('['))
                inPorts = line.trimmed() == "[Portas]";
            if (!inPorts && !line.isEmpty())
                kept += line + '\n';
        }
        conf.close();
    }
    if (conf.open(QIODevice::WriteOnly))
        conf.write(kept + "[Portas]\nLPT1=" + QFile::encodeName(target) + '\n');
    if (!target.startsWith(QStringLiteral("cups:")) && !QFileInfo::exists(target) &&
        QFileInfo(target).dir().exists()) {
        QFile f(target);
        if (f.open(QIODevice::WriteOnly))
            f.close();
    }
}

QByteArray ContinuoFixtures::readFile(const QString& path)
{
    return TestSupport::readFile(path);
}

namespace {
// The blanks before each field of the worked example on one model of form, and the width
// of its memo.
struct ExampleGaps {
    int number, due, seuNumero, especie, aceite, currency, value, memo;
};

QByteArray exampleBytes(const ExampleGaps& g)
{
    QByteArray out = line(blanks(g.number) + blanks(5) + "7" + blanks(g.due) + "05/03/2003");
    out += line(" ") + line(" ") + line(" ");
    out += line("01/02/2003" + blanks(g.seuNumero) + "ABC" + blanks(7) + blanks(g.especie) + "DM" +
                blanks(g.aceite) + "N");
    out += line(" ");
    out += line(blanks(g.currency) + "R$" + blanks(g.value) + blanks(7) + "1.234,50");
    return out + exampleTail(g.memo);
}
} // namespace

QByteArray ContinuoFixtures::exampleSmall()
{
    return exampleBytes({43, 6, 3, 4, 5, 17, 31, 48});
}

QByteArray ContinuoFixtures::exampleLarge()
{
    return exampleBytes({54, 9, 13, 6, 6, 29, 33, 60});
}

QByteArray ContinuoFixtures::defaultInit()
{
    return QByteArray("\x1b@\x1bO`\x1b"
                      "0.\r\n \r\n");
}

QByteArray ContinuoFixtures::separator()
{
    return QByteArray(" \r\n \r\n \r\n");
}

void ContinuoFixtures::addWorkedExampleRows(const char* page)
{
    QTest::addColumn<FormModel>("model");
    QTest::addColumn<QByteArray>(page);
    QTest::newRow("small") << FormModel::Small << exampleSmall();
    QTest::newRow("large") << FormModel::Large << exampleLarge();
}

#include "ContinuoFixtures.h"

#include "TestSupport.h"

#include "BlqTitles.h"
#include "ProgramDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

QByteArray ContinuoFixtures::exampleSmall()
{
    QByteArray out = line(blanks(43) + blanks(5) + "7" + blanks(6) + "05/03/2003");
    out += line(" ") + line(" ") + line(" ");
    out += line("01/02/2003" + blanks(3) + "ABC" + blanks(7) + blanks(4) + "DM" + blanks(5) + "N");
    out += line(" ");
    out += line(blanks(17) + "R$" + blanks(31) + blanks(7) + "1.234,50");
    return out + exampleTail(48);
}

QByteArray ContinuoFixtures::exampleLarge()
{
    QByteArray out = line(blanks(54) + blanks(5) + "7" + blanks(9) + "05/03/2003");
    out += line(" ") + line(" ") + line(" ");
    out += line("01/02/2003" + blanks(13) + "ABC" + blanks(7) + blanks(6) + "DM" + blanks(6) + "N");
    out += line(" ");
    out += line(blanks(29) + "R$" + blanks(33) + blanks(7) + "1.234,50");
    return out + exampleTail(60);
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

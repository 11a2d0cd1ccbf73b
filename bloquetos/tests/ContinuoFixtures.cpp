#include "ContinuoFixtures.h"

#include "DbTable.h"
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

void ContinuoFixtures::addTitulos(const QList<Titulo>& titles)
{
    DbTable t;
    t.open();
    t.beginBatch();
    for (const Titulo& x : titles) {
        t.append();
        t.setText(QStringLiteral("BlqAgeCod"), x.age);
        t.setText(QStringLiteral("BlqCtrCod"), x.ctr);
        t.setText(QStringLiteral("BlqNomCed"), x.nomCed);
        t.setText(QStringLiteral("BlqSeuNum"), x.seuNum);
        t.setDate(QStringLiteral("BlqDatEmi"), x.emi);
        t.setDate(QStringLiteral("BlqDatVen"), x.ven);
        t.setDate(QStringLiteral("BlqDstDatLim"), x.dstLim);
        t.setFloat(QStringLiteral("BlqTitVal"), x.val);
        t.setFloat(QStringLiteral("BlqJurDiaVal"), x.jur);
        t.setFloat(QStringLiteral("BlqDstVal"), x.dst);
        t.setFloat(QStringLiteral("BlqAbtAtrVal"), x.abt);
        t.setText(QStringLiteral("BlqSacNom"), x.sacNom);
        t.setText(QStringLiteral("BlqSacEnd"), x.sacEnd);
        t.setText(QStringLiteral("BlqSacBai"), x.sacBai);
        t.setText(QStringLiteral("BlqSacCid"), x.sacCid);
        t.setText(QStringLiteral("BlqSacEtd"), x.sacEtd);
        t.setText(QStringLiteral("BlqSacCEP"), x.sacCep);
        t.setText(QStringLiteral("BlqSacAvl"), x.sacAvl);
        t.setMemo(QStringLiteral("BlqIns"), x.ins);
        t.setText(QStringLiteral("BlqCpfCgcSac"), x.cpfSac);
        t.setText(QStringLiteral("BlqCpfCgcCed"), x.cpfCed);
        t.setBool(QStringLiteral("BlqRegVal"), x.valid);
        t.setText(QStringLiteral("BlqMsgErr"), x.valid ? QString() : QStringLiteral("Rejeitado"));
        t.setBool(QStringLiteral("BlqIdcAvi"), x.avi);
        t.setBool(QStringLiteral("BlqIdcCAp"), x.cap);
    }
    if (!titles.isEmpty())
        t.post();
    t.commitBatch();
    t.close();
}

Titulo ContinuoFixtures::example()
{
    Titulo t;
    t.seuNum = QStringLiteral("ABC");
    t.ven = QDate(2003, 3, 5);
    t.emi = QDate(2003, 2, 1);
    t.val = 1234.50;
    return t;
}

ContinuoRow ContinuoFixtures::exampleRow()
{
    ContinuoRow r;
    r.BlqSeq = 7;
    r.BlqSeuNum = QStringLiteral("ABC");
    r.BlqDatVen = QDate(2003, 3, 5);
    r.BlqDatEmi = QDate(2003, 2, 1);
    r.BlqTitVal = 123450;
    return r;
}

QList<Titulo> ContinuoFixtures::numbered(int count)
{
    QList<Titulo> out;
    for (int i = 1; i <= count; ++i) {
        Titulo t = example();
        t.seuNum = QStringLiteral("T%1").arg(i);
        out << t;
    }
    return out;
}

void ContinuoFixtures::addRejected(int count)
{
    QList<Titulo> out;
    for (int i = 0; i < count; ++i) {
        Titulo t;
        t.valid = false;
        t.seuNum = QStringLiteral("R%1").arg(i + 1);
        out << t;
    }
    addTitulos(out);
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
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
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

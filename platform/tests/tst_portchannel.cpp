#include "KvError.h"
#include "PortChannel.h"
#include "ProgramDir.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QtTest>

Q_DECLARE_METATYPE(PortChannel::Target::Kind)

namespace {
using TestSupport::errorOf;
using TestSupport::readFile;

void writeConf(const QByteArray& text)
{
    QFile f(ProgramDir::file(QStringLiteral("kvcob.conf")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}
} // namespace

class TstPortChannel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void resolve_data()
    {
        QTest::addColumn<QByteArray>("conf");
        QTest::addColumn<QString>("name");
        QTest::addColumn<PortChannel::Target::Kind>("kind");
        QTest::addColumn<QString>("path");
        using Kind = PortChannel::Target::Kind;
        QTest::newRow("no configuration") << QByteArray() << "LPT1" << Kind::Device << "/dev/lp0";
        QTest::newRow("lower-case port name")
            << QByteArray() << "lpt1" << Kind::Device << "/dev/lp0";
        QTest::newRow("device file") << QByteArray("[Portas]\nLPT1=/dev/usb/lp0\n") << "LPT1"
                                     << Kind::Device << "/dev/usb/lp0";
        QTest::newRow("raw CUPS queue") << QByteArray("[portas]\nlpt1=cups:Matricial_Sala2\n")
                                        << "LPT1" << Kind::CupsQueue << "Matricial_Sala2";
        QTest::newRow("another configured port") << QByteArray("[Portas]\nLPT2=/dev/usb/lp1\n")
                                                 << "LPT2" << Kind::Device << "/dev/usb/lp1";
        QTest::newRow("other sections are not ports")
            << QByteArray("[cobrancaKV]\nLPT1=/x\n") << "LPT1" << Kind::Device << "/dev/lp0";
        QTest::newRow("a file name") << QByteArray("[Portas]\nLPT1=/dev/usb/lp0\n") << "saida.prn"
                                     << Kind::File << "saida.prn";
        QTest::newRow("queue named without configuration")
            << QByteArray("[Portas]\nLPT1=/dev/usb/lp0\n") << "cups:Matricial" << Kind::CupsQueue
            << "Matricial";
        QTest::newRow("path with a comma") << QByteArray("[Portas]\nLPT1=/tmp/a,b.prn\n") << "LPT1"
                                           << Kind::Device << "/tmp/a,b.prn";
    }
    void resolve()
    {
        QFETCH(QByteArray, conf);
        QFETCH(QString, name);
        TempProgramDir dir;
        if (!conf.isEmpty())
            writeConf(conf);
        const PortChannel::Target t = PortChannel::resolve(name);
        QTEST(t.kind, "kind");
        QTEST(t.path, "path");
    }

    void linesGoOutUnchangedOneByOne()
    {
        TempProgramDir dir;
        const QString out = dir.file(QStringLiteral("lpt1.prn"));
        writeConf("[Portas]\nLPT1=" + out.toUtf8() + '\n');
        { // a port is never created: it is there, with something in it
            QFile stale(out);
            QVERIFY(stale.open(QIODevice::WriteOnly));
            stale.write("old contents of the device");
        }
        PortChannel channel(QStringLiteral("LPT1"));
        channel.open();
        QVERIFY(channel.isOpen());
        channel.writeLine(QByteArray("\x1b@\x1bO`\x1b"
                                     "0."));
        // every line is out as soon as it is written, before any question
        QCOMPARE(readFile(out), QByteArray("\x1b@\x1bO`\x1b"
                                           "0.\r\n"));
        channel.writeLine(QByteArray("\xc7\x80\x00\xff", 4));
        channel.writeLine(QByteArray());
        channel.deliver();
        channel.close();
        QVERIFY(!channel.isOpen());
        QCOMPARE(readFile(out), QByteArray("\x1b@\x1bO`\x1b"
                                           "0.\r\n\xc7\x80\x00\xff\r\n\r\n",
                                           18));
    }

    void portsFailWithTheInputOutputErrors_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing device, not created as a file") << "%1/usb/lp9"
                                                               << "File not found";
        QTest::newRow("a folder") << "%1"
                                  << "File access denied";
        QTest::newRow("not a folder on the way") << "%1/kvcob.conf/lp0"
                                                 << "Invalid filename";
        QTest::newRow("empty entry")
            << ""
            << "A porta LPT1 não está configurada corretamente em kvcob.conf";
    }
    void portsFailWithTheInputOutputErrors()
    {
        QFETCH(QString, target);
        QFETCH(QString, error);
        TempProgramDir dir;
        const QString path = target.contains(QLatin1Char('%')) ? target.arg(dir.path()) : target;
        writeConf("[Portas]\nLPT1=" + path.toUtf8() + '\n');
        PortChannel channel(QStringLiteral("LPT1"));
        QCOMPARE(errorOf([&] { channel.open(); }), error);
        QVERIFY(!channel.isOpen());
        QVERIFY(!QFile::exists(dir.file(QStringLiteral("usb/lp9"))));
        QCOMPARE(errorOf([&] { channel.writeLine("x"); }), QStringLiteral("I/O error 9"));
    }

    void aFileIsCreatedOrReplaced()
    {
        TempProgramDir dir;
        const QString out = dir.file(QStringLiteral("saida.prn"));
        for (const QByteArray& text : {QByteArray("first, longer run"), QByteArray("second")}) {
            PortChannel channel(out);
            channel.open();
            channel.writeLine(text);
            channel.finish();
            channel.close();
        }
        QCOMPARE(readFile(out), QByteArray("second\r\n"));
        PortChannel nowhere(dir.file(QStringLiteral("sem-pasta/saida.prn")));
        QCOMPARE(errorOf([&] { nowhere.open(); }), QStringLiteral("File not found"));
    }

    // A failed run into an existing file used to leave it cut to nothing.
    void anUnfinishedRunLeavesTheFileOfBefore()
    {
        TempProgramDir dir;
        const QString out = dir.file(QStringLiteral("saida.prn"));
        QVERIFY(TestSupport::writeFile(out, "32 bytes of the run of yesterday"));
        QVERIFY(
            QFile::setPermissions(out, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        {
            PortChannel channel(out);
            channel.open();
            channel.writeLine("a run that fails half way");
            QCOMPARE(readFile(out), QByteArray("32 bytes of the run of yesterday"));
            channel.close(); // no finish(): the run raised
        }
        QCOMPARE(readFile(out), QByteArray("32 bytes of the run of yesterday"));
        QCOMPARE(
            QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("saida")),
            QStringList{QStringLiteral("saida.prn")});

        PortChannel channel(out);
        channel.open();
        channel.writeLine("today");
        channel.finish();
        channel.close();
        QCOMPARE(readFile(out), QByteArray("today\r\n"));
        const QFile::Permissions modeBits = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                            QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                            QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFile::permissions(out) & modeBits,
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    }

    void writeFailureIsReported()
    {
        if (!QFile::exists(QStringLiteral("/dev/full")))
            KV_SKIP_OR_FAIL(QStringLiteral("no /dev/full"));
        TempProgramDir dir;
        writeConf("[Portas]\nLPT1=/dev/full\n");
        PortChannel channel(QStringLiteral("LPT1"));
        channel.open();
        QCOMPARE(errorOf([&] { channel.writeLine("x"); }), QStringLiteral("Disk full"));
        channel.close();
        QVERIFY(!channel.isOpen());
    }

    void cupsQueueWithoutTheSpoolerTools()
    {
        TempProgramDir dir;
        writeConf("[Portas]\nLPT1=cups:Matricial\n");
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", dir.path().toUtf8()); // no lp here
        PortChannel channel(QStringLiteral("LPT1"));
        const QString error = errorOf([&] { channel.open(); });
        qputenv("PATH", path);
        QCOMPARE(error, QStringLiteral("File not found (lp)"));
        QVERIFY(!channel.isOpen());
    }

    void ioErrorTexts_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("ENOENT") << ENOENT << "File not found";
        QTest::newRow("EACCES") << EACCES << "File access denied";
        QTest::newRow("EROFS") << EROFS << "File access denied";
        QTest::newRow("ENOSPC") << ENOSPC << "Disk full";
        QTest::newRow("EMFILE") << EMFILE << "Too many open files";
        QTest::newRow("EIO") << EIO << "I/O error 5";
        QTest::newRow("ENXIO") << ENXIO << "I/O error 6";
    }
    void ioErrorTexts()
    {
        QFETCH(int, number);
        QTEST(PortChannel::ioErrorText(number), "text");
    }
};

QTEST_GUILESS_MAIN(TstPortChannel)
#include "tst_portchannel.moc"

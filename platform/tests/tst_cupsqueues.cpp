// The print queues as a real CUPS server shows them, and the raw channel of the
// continuous forms on one of its queues.
#include "CupsQueues.h"
#include "CupsServer.h"
#include "KvError.h"
#include "PortChannel.h"
#include "TestSupport.h"

#include <QtTest>

namespace {
using TestSupport::errorOf;
} // namespace

class TstCupsQueues : public QObject {
    Q_OBJECT
    CupsServer m_cups;

private Q_SLOTS:
    void initTestCase()
    {
        if (!m_cups.startOrSkip({{QStringLiteral("Matricial"), CupsServer::Kind::Raw},
                                 {QStringLiteral("Laser"), CupsServer::Kind::Pdf}}))
            return;
    }

    void listShowsEveryQueueAndItsState()
    {
        QVERIFY(m_cups.tool(QStringLiteral("cupsdisable"),
                            {QStringLiteral("-r"), QStringLiteral("Sem papel"),
                             QStringLiteral("Laser")}) == 0);
        const QList<CupsQueues::Queue> queues = CupsQueues::list();
        QVERIFY(m_cups.tool(QStringLiteral("cupsenable"), {QStringLiteral("Laser")}) == 0);
        QCOMPARE(queues.size(), 2);
        for (const CupsQueues::Queue& q : queues) {
            const bool laser = q.name == QStringLiteral("Laser");
            QVERIFY2(laser || q.name == QStringLiteral("Matricial"), qPrintable(q.name));
            QCOMPARE(q.stopped, laser);
            QVERIFY(q.accepting);
            if (laser)
                QCOMPARE(q.reason, QStringLiteral("Sem papel"));
        }
    }

    void checkReadySaysWhatIsWrong_data()
    {
        QTest::addColumn<QString>("off"); // tool that puts the queue out of order
        QTest::addColumn<QString>("on");  // and the one that restores it
        QTest::addColumn<QString>("queue");
        QTest::addColumn<QString>("error");
        QTest::newRow("ready, named in another case")
            << QString() << QString() << QStringLiteral("matricial") << QString();
        QTest::newRow("unknown queue")
            << QString() << QString() << QStringLiteral("Sala2")
            << QStringLiteral("Impressora Sala2 não encontrada\n"
                              "Impressoras disponíveis: Laser, Matricial");
        QTest::newRow("stopped queue")
            << QStringLiteral("cupsdisable") << QStringLiteral("cupsenable")
            << QStringLiteral("Matricial")
            << QStringLiteral("A impressora Matricial está parada (Papel preso). Nada foi "
                              "enviado; reative-a (cupsenable Matricial) e repita a impressão.");
        QTest::newRow("queue refusing jobs")
            << QStringLiteral("cupsreject") << QStringLiteral("cupsaccept")
            << QStringLiteral("Matricial")
            << QStringLiteral("A impressora Matricial não está aceitando trabalhos (Papel "
                              "preso). Nada foi enviado; peça que a fila volte a aceitar "
                              "trabalhos (cupsaccept Matricial) ou escolha outra.");
    }
    void checkReadySaysWhatIsWrong()
    {
        QFETCH(QString, off);
        QFETCH(QString, on);
        QFETCH(QString, queue);
        QFETCH(QString, error);
        if (!off.isEmpty())
            QCOMPARE(m_cups.tool(off, {QStringLiteral("-r"), QStringLiteral("Papel preso"),
                                       QStringLiteral("Matricial")}),
                     0);
        QString name;
        const QString got = errorOf([&] { name = CupsQueues::checkReady(queue).name; });
        if (!on.isEmpty())
            QCOMPARE(m_cups.tool(on, {QStringLiteral("Matricial")}), 0);
        QCOMPARE(got, error);
        if (error.isEmpty())
            QCOMPARE(name, QStringLiteral("Matricial")); // as the server spells it
        // Nothing of this reaches the queue.
        QCOMPARE(m_cups.jobCount(QStringLiteral("Matricial")), 0);
    }

    void rawChannelSendsTheBytesUnchanged()
    {
        m_cups.clearOutput(QStringLiteral("Matricial"));
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        PortChannel channel(QStringLiteral("cups:Matricial"));
        channel.open();
        channel.writeLine(all);
        channel.writeLine("\x1b@ABC\x0c");
        channel.deliver();
        channel.writeLine(QByteArray());
        channel.deliver();
        channel.close();
        QVERIFY(m_cups.waitForJobs(QStringLiteral("Matricial")));
        QCOMPARE(m_cups.output(QStringLiteral("Matricial")), all + "\r\n\x1b@ABC\x0c\r\n\r\n");
    }

    void rawChannelOnAStoppedQueueSendsNothing()
    {
        QCOMPARE(m_cups.tool(QStringLiteral("cupsdisable"), {QStringLiteral("Matricial")}), 0);
        const int jobs = m_cups.jobCount(QStringLiteral("Matricial"));
        PortChannel channel(QStringLiteral("cups:Matricial"));
        const QString error = errorOf([&] { channel.open(); });
        QCOMPARE(m_cups.tool(QStringLiteral("cupsenable"), {QStringLiteral("Matricial")}), 0);
        QVERIFY2(error.startsWith(QStringLiteral("A impressora Matricial está parada")),
                 qPrintable(error));
        QVERIFY(!channel.isOpen());
        QCOMPARE(m_cups.jobCount(QStringLiteral("Matricial")), jobs);
    }

    // Last: the server goes away for good.
    void aStoppedServerIsSaidSo()
    {
        m_cups.stop();
        const QString expected = QStringLiteral("O servidor de impressão (CUPS) em %1 não responde")
                                     .arg(m_cups.socketPath());
        const QString listed = errorOf([] { CupsQueues::list(); });
        QVERIFY2(listed.startsWith(expected), qPrintable(listed));
        QVERIFY(listed.endsWith(QStringLiteral("nada foi impresso.")));
        PortChannel channel(QStringLiteral("cups:Matricial"));
        const QString opened = errorOf([&] { channel.open(); });
        QVERIFY2(opened.startsWith(expected), qPrintable(opened));
    }
};

QTEST_GUILESS_MAIN(TstCupsQueues)
#include "tst_cupsqueues.moc"

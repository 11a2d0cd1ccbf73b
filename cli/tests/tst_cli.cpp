#include "TestSupport.h"
#include "KvVersion.h"

#include <QtTest>

namespace {
QString tool()
{
    return TestSupport::binaryDir() + QStringLiteral("/bin/kvcob-lote");
}
} // namespace

class TstCli : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void helpAndVersion()
    {
        int rc = -1;
        const QByteArray help = TestSupport::run(tool(), {QStringLiteral("--help")}, &rc);
        QCOMPARE(rc, 0);
        QVERIFY(help.contains("Verbos:"));
        QVERIFY(help.contains("--dir PASTA"));
        const QByteArray version = TestSupport::run(tool(), {QStringLiteral("--version")}, &rc);
        QCOMPARE(rc, 0);
        QCOMPARE(version.trimmed(), QByteArray("kvcob-lote " KVCOB_VERSION));
    }

    void badCallsFailWithAMessage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("unknown verb") << QStringList{QStringLiteral("nada")};
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--xyz")};
        QTest::newRow("missing folder")
            << QStringList{QStringLiteral("--dir"), QStringLiteral("/nonexistent/kv"), QStringLiteral("nada")};
        QTest::newRow("no verb") << QStringList{};
    }
    void badCallsFailWithAMessage()
    {
        QFETCH(QStringList, args);
        int rc = -1;
        TestSupport::run(tool(), args, &rc);
        QVERIFY(rc != 0);
    }
};

QTEST_GUILESS_MAIN(TstCli)
#include "tst_cli.moc"

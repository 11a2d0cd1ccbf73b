#include "KvVersion.h"
#include "TestSupport.h"

#include <QtTest>

namespace {
QString tool()
{
    return TestSupport::program(QStringLiteral("kvcob-lote"));
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
        // Every verb's options are listed from the same declarations the parser reads.
        QVERIFY(
            help.contains("continuo --modelo pequeno|grande [--contrato AGÊNCIA/CONTRATO] SAIDA"));
        QVERIFY(help.contains("--contrato AGÊNCIA/CONTRATO   só os títulos deste contrato"));
        const QByteArray verbHelp =
            TestSupport::run(tool(), {QStringLiteral("continuo"), QStringLiteral("--help")}, &rc);
        QCOMPARE(rc, 0);
        QVERIFY(verbHelp.contains("--modelo pequeno|grande"));
        QVERIFY(!verbHelp.contains("Verbos:"));
        const QByteArray version = TestSupport::run(tool(), {QStringLiteral("--version")}, &rc);
        QCOMPARE(rc, 0);
        QCOMPARE(version.trimmed(), QByteArray("kvcob-lote " KVCOB_VERSION));
    }

    void badCallsFailWithAMessage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("unknown verb") << QStringList{QStringLiteral("nada")};
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--xyz")};
        QTest::newRow("missing folder") << QStringList{
            QStringLiteral("--dir"), QStringLiteral("/nonexistent/kv"), QStringLiteral("nada")};
        QTest::newRow("no verb") << QStringList{};
    }
    void badCallsFailWithAMessage()
    {
        QFETCH(QStringList, args);
        int rc = -1;
        TestSupport::run(tool(), args, &rc);
        QVERIFY(rc != 0);
    }

    // Faults of the tool's own options end with status 2, those after the verb with the
    // verb's usage and status 1, each named as the user typed it.
    void parseFaultsAreSaidInPortuguese_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        const QString c = QStringLiteral("continuo");
        const QString usage = QStringLiteral("Uso: kvcob-lote continuo --modelo pequeno|grande "
                                             "[--contrato AGÊNCIA/CONTRATO] SAIDA");
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--xyz=1")} << 2
                                        << "Opção desconhecida: --xyz=1\n"
                                           "Use kvcob-lote --help para ver as opções.";
        QTest::newRow("single dash") << QStringList{QStringLiteral("-dirx")} << 2
                                     << "Opção desconhecida: -dirx\n"
                                        "Use kvcob-lote --help para ver as opções.";
        QTest::newRow("folder without a value")
            << QStringList{QStringLiteral("--dir")} << 2
            << "Falta o valor de --dir.\nUse kvcob-lote --help para ver as opções.";
        QTest::newRow("switch with a value")
            << QStringList{QStringLiteral("--version=2")} << 2
            << "A opção --version não leva valor.\nUse kvcob-lote --help para ver as opções.";
        QTest::newRow("unknown verb") << QStringList{QStringLiteral("nada")} << 2
                                      << "Verbo desconhecido: nada\n"
                                         "Use kvcob-lote --help para ver os verbos.";
        QTest::newRow("tool option after the verb")
            << QStringList{c, QStringLiteral("--dir"), QStringLiteral("x")} << 1
            << QStringLiteral("Opção desconhecida: --dir\n") + usage;
        QTest::newRow("verb option without a value")
            << QStringList{c, QStringLiteral("saida.prn"), QStringLiteral("--modelo")} << 1
            << QStringLiteral("Falta o valor de --modelo.\n") + usage;
        QTest::newRow("verb help with a value")
            << QStringList{c, QStringLiteral("--help=x")} << 1
            << QStringLiteral("A opção --help não leva valor.\n") + usage;
    }
    void parseFaultsAreSaidInPortuguese()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, error);
        TempProgramDir dir;
        QProcess p;
        p.start(tool(), QStringList{QStringLiteral("--dir"), dir.path()} + args);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), status);
        QCOMPARE(QString::fromLocal8Bit(p.readAllStandardError()).trimmed(), error);
        // A call the tool could not read touches no database.
        QVERIFY(!QFile::exists(dir.file(QStringLiteral("cobrancaKV.db"))));
    }
};

QTEST_GUILESS_MAIN(TstCli)
#include "tst_cli.moc"

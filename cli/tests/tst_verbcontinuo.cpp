#include "BlqTitles.h"
#include "ContinuoFixtures.h"
#include "Database.h"
#include "MatricialIni.h"
#include "TestEnvironment.h"
#include "TestSupport.h"

#include <QtTest>

using namespace ContinuoFixtures;

namespace {
using Outcome = TestSupport::ToolRun;

Outcome lote(const TempProgramDir& dir, const QStringList& args)
{
    return TestSupport::kvcobLoteOnTestDatabase(dir.path(), args, 60000);
}

BlqTitle other(const QString& seu)
{
    BlqTitle t = example();
    t.ageCod = QStringLiteral("0999");
    t.seuNum = seu;
    return t;
}
} // namespace

class TstVerbContinuo : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
private Q_SLOTS:
    void cleanup() { m_env.cleanup(); }

    void workedExampleToAFile_data()
    {
        QTest::addColumn<QString>("modelo");
        QTest::addColumn<QByteArray>("page");
        QTest::newRow("pequeno") << QStringLiteral("pequeno") << exampleSmall();
        QTest::newRow("grande") << QStringLiteral("grande") << exampleLarge();
    }
    void workedExampleToAFile()
    {
        QFETCH(QString, modelo);
        QFETCH(QByteArray, page);
        TempProgramDir dir;
        addRejected(6);
        BlqTitles::store({example()});
        const QString out = dir.file(QStringLiteral("saida.prn"));
        const Outcome o =
            lote(dir, {QStringLiteral("continuo"), QStringLiteral("--modelo"), modelo, out});
        QCOMPARE(o.errText, QString());
        QCOMPARE(o.exitCode, 0);
        QCOMPARE(o.out.trimmed(), QStringLiteral("Bloquetos impressos: 1"));
        QCOMPARE(readFile(out), defaultInit() + page + separator());
        QCOMPARE(readFile(MatricialIni::path()), MatricialIni::defaultFile());
    }

    void oneContractToTheConfiguredPort()
    {
        TempProgramDir dir;
        BlqTitles::store(
            {other(QStringLiteral("X1")), example(), other(QStringLiteral("X2")), example()});
        const QString port = dir.file(QStringLiteral("porta.prn"));
        configurePort(port);
        const Outcome o = lote(dir, {QStringLiteral("continuo"), QStringLiteral("--modelo=grande"),
                                     QStringLiteral("--contrato"), QStringLiteral("0123/567890123"),
                                     QStringLiteral("LPT1")});
        QCOMPARE(o.exitCode, 0);
        QCOMPARE(o.out.trimmed(), QStringLiteral("Bloquetos impressos: 2"));
        const QByteArray bytes = readFile(port);
        QVERIFY(bytes.startsWith(defaultInit()));
        QCOMPARE(bytes.count("ABC"), 2);
        QVERIFY(!bytes.contains("X1"));
        QCOMPARE(bytes.size(),
                 defaultInit().size() + 2 * (exampleLarge().size() + separator().size()));
    }

    void badInput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error");
        const QString c = QStringLiteral("continuo");
        const QString m = QStringLiteral("--modelo");
        const QString out = QStringLiteral("saida.prn");
        QTest::newRow("no model") << QStringList{c, out} << "Informe o modelo do formulário.";
        QTest::newRow("unknown model") << QStringList{c, m, QStringLiteral("medio"), out}
                                       << "Modelo desconhecido: medio (use pequeno ou grande).";
        QTest::newRow("no output") << QStringList{c, m, QStringLiteral("pequeno")}
                                   << "Informe a saída: um arquivo ou uma porta (LPT1).";
        QTest::newRow("agency not a number") << QStringList{c,
                                                            m,
                                                            QStringLiteral("pequeno"),
                                                            QStringLiteral("--contrato"),
                                                            QStringLiteral("01A3/567890123"),
                                                            out}
                                             << "Contrato inválido: '01A3/567890123'";
        QTest::newRow("contract missing")
            << QStringList{c, m, QStringLiteral("pequeno"), QStringLiteral("--contrato=0123"), out}
            << "Contrato inválido: '0123'";
        QTest::newRow("contract with no rows")
            << QStringList{c, m, QStringLiteral("pequeno"), QStringLiteral("--contrato=0123/1"),
                           out}
            << "Não há bloquetos válidos para o contrato 0123/1";
        QTest::newRow("folder missing")
            << QStringList{c, m, QStringLiteral("grande"), QStringLiteral("sem-pasta/saida.prn")}
            << "File not found";
        QTest::newRow("device full")
            << QStringList{c, m, QStringLiteral("grande"), QStringLiteral("/dev/full")}
            << "Disk full";
    }
    void badInput()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        TempProgramDir dir;
        BlqTitles::store({example()});
        for (QString& a : args) {
            if (a.endsWith(QStringLiteral(".prn")))
                a = dir.file(a);
        }
        const Outcome o = lote(dir, args);
        QCOMPARE(o.exitCode, 1);
        QVERIFY2(o.errText.startsWith(error), qPrintable(o.errText));
        QVERIFY(!QFile::exists(dir.file(QStringLiteral("saida.prn"))));
    }

    void emptyTable()
    {
        TempProgramDir dir;
        addRejected(2);
        const Outcome o = lote(dir, {QStringLiteral("continuo"), QStringLiteral("--modelo"),
                                     QStringLiteral("pequeno"), dir.file(QStringLiteral("s.prn"))});
        QCOMPARE(o.exitCode, 1);
        QCOMPARE(o.errText, QStringLiteral("Não há bloquetos válidos para imprimir"));
    }
};

QTEST_GUILESS_MAIN(TstVerbContinuo)
#include "tst_verbcontinuo.moc"

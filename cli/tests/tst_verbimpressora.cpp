// kvcob-lote folha-solta and rejeitados --impressora: reports printed without a window
// on the queues of a real CUPS server.
#include "BlqTitles.h"
#include "CupsServer.h"
#include "Database.h"
#include "DbTable.h"
#include "TestSupport.h"

#include <QFile>
#include <QtTest>

namespace {
const QString kLaser = QStringLiteral("Laser");

using Result = TestSupport::ToolRun;
using TestSupport::kvcobLoteOnTestDatabase;

void writeTitles(int valid, int rejected)
{
    BlqTitles::fill(0);
    QList<BlqTitle> titles;
    for (int n = 1; n <= valid + rejected; ++n) {
        BlqTitle row = BlqTitles::numbered(n);
        row.regVal = n <= valid;
        row.msgErr = n <= valid ? QString() : QStringLiteral("Valor do título inválido");
        titles << row;
    }
    BlqTitles::store(titles);
    Database::closeAll();
}

// The pages of a PDF the queue printed, as pdftotext reads them.
QStringList pagesOf(const QString& pdf)
{
    const QString text = QString::fromUtf8(TestSupport::run(
        QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")}));
    QStringList pages = text.split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}
} // namespace

class TstVerbImpressora : public QObject {
    Q_OBJECT
    CupsServer m_cups;

private Q_SLOTS:
    void initTestCase()
    {
        if (!m_cups.startOrSkip({{kLaser, CupsServer::Kind::Pdf},
                                 {QStringLiteral("Matricial"), CupsServer::Kind::Raw}},
                                {QStringLiteral("pdftotext")}))
            return;
    }

    void folhaSoltaPrintsOnTheQueue_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QList<int>>("titles"); // the title of each printed page, in order
        QTest::addColumn<QString>("message");
        QTest::newRow("every bloqueto")
            << QStringList{QStringLiteral("--impressora"), kLaser} << QList<int>{1, 2, 3}
            << QStringLiteral("3 bloqueto(s) enviado(s) à impressora Laser");
        QTest::newRow("queue named in another case")
            << QStringList{QStringLiteral("--impressora=laser")} << QList<int>{1, 2, 3}
            << QStringLiteral("3 bloqueto(s) enviado(s) à impressora Laser");
        QTest::newRow("two copies of pages 2 to 3")
            << QStringList{QStringLiteral("--copias"),     QStringLiteral("2"),
                           QStringLiteral("--impressora"), kLaser,
                           QStringLiteral("--paginas"),    QStringLiteral("2-3")}
            << QList<int>{2, 3, 2, 3}
            << QStringLiteral("2 bloqueto(s) enviado(s) à impressora Laser, 2 cópias");
        QTest::newRow("one page") << QStringList{QStringLiteral("--impressora"), kLaser,
                                                 QStringLiteral("--paginas=3")}
                                  << QList<int>{3}
                                  << QStringLiteral("1 bloqueto(s) enviado(s) à impressora Laser");
    }
    void folhaSoltaPrintsOnTheQueue()
    {
        QFETCH(QStringList, options);
        QFETCH(QList<int>, titles);
        QFETCH(QString, message);
        TempProgramDir dir;
        writeTitles(3, 1);
        m_cups.clearOutput(kLaser);
        const Result r = kvcobLoteOnTestDatabase(
            dir.path(), QStringList{QStringLiteral("folha-solta")} + options);
        QCOMPARE(r.errText, QString());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out.trimmed(), message);
        QVERIFY(m_cups.waitForJobs(kLaser));
        const QStringList pages = pagesOf(m_cups.outputPath(kLaser));
        QCOMPARE(pages.size(), titles.size());
        for (int i = 0; i < pages.size(); ++i) {
            const BlqTitle t = BlqTitles::numbered(titles.at(i));
            QVERIFY2(pages.at(i).contains(t.sacNom), qPrintable(pages.at(i)));
            QVERIFY(pages.at(i).contains(t.seuNum));
        }
    }

    void rejeitadosPrintsWhatThePdfHolds()
    {
        TempProgramDir dir;
        writeTitles(1, 60);
        const QString pdf = dir.file(QStringLiteral("rejeitados.pdf"));
        QCOMPARE(kvcobLoteOnTestDatabase(dir.path(), {QStringLiteral("rejeitados"), pdf}).exitCode,
                 0);
        const QStringList filed = pagesOf(pdf);
        QVERIFY(filed.size() >= 2);
        m_cups.clearOutput(kLaser);
        const Result r = kvcobLoteOnTestDatabase(
            dir.path(), {QStringLiteral("rejeitados"), QStringLiteral("--impressora"), kLaser});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out.trimmed(),
                 QStringLiteral("%1 página(s) do relatório enviado(s) à impressora Laser")
                     .arg(filed.size()));
        QVERIFY(m_cups.waitForJobs(kLaser));
        const QStringList printed = pagesOf(m_cups.outputPath(kLaser));
        QCOMPARE(printed.size(), filed.size());
        for (int i = 0; i < printed.size(); ++i) {
            QVERIFY(printed.at(i).contains(QStringLiteral("RELAÇÃO DE TÍTULOS REJEITADOS")));
            QCOMPARE(printed.at(i).count(QStringLiteral("Valor do título inválido")),
                     filed.at(i).count(QStringLiteral("Valor do título inválido")));
        }
        QVERIFY(printed.join(QString()).contains(BlqTitles::numbered(61).seuNum));
    }

    void nothingIsSentWhenThePrintCannotBeDone_data()
    {
        QTest::addColumn<QStringList>("setUp"); // a tool and its arguments, undone after
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error");
        const QString fs = QStringLiteral("folha-solta");
        const QString q = QStringLiteral("--impressora");
        const QString usage = QStringLiteral(
            "\nUso: kvcob-lote folha-solta [--impressora FILA] [--copias N] [--paginas A-B] "
            "[--titulo NOSSO_NUMERO] [--valor-atualizado] [--por-titulo PASTA] [--pendentes] "
            "SAIDA.pdf");
        QTest::newRow("unknown queue")
            << QStringList() << QStringList{fs, q, QStringLiteral("Sala2")}
            << QStringLiteral("Impressora Sala2 não encontrada\n"
                              "Impressoras disponíveis: Laser, Matricial");
        QTest::newRow("stopped queue")
            << QStringList{QStringLiteral("cupsdisable"), QStringLiteral("-r"),
                           QStringLiteral("Sem toner"), kLaser}
            << QStringList{QStringLiteral("rejeitados"), q, kLaser}
            << QStringLiteral("A impressora Laser está parada (Sem toner). Nada foi enviado; "
                              "reative-a (cupsenable Laser) e repita a impressão.");
        QTest::newRow("queue refusing jobs")
            << QStringList{QStringLiteral("cupsreject"), kLaser} << QStringList{fs, q, kLaser}
            << QStringLiteral("A impressora Laser não está aceitando trabalhos (Rejecting "
                              "Jobs). Nada foi "
                              "enviado; peça que a fila volte a aceitar trabalhos (cupsaccept "
                              "Laser) ou escolha outra.");
        QTest::newRow("job refused by the server")
            << QStringList()
            << QStringList{fs, q, kLaser, QStringLiteral("--copias"),
                           QString::number(CupsServer::kMaxCopies + 1)}
            << QStringLiteral("A impressora Laser recusou o trabalho: Bad copies value %1.")
                   .arg(CupsServer::kMaxCopies + 1);
        QTest::newRow("range past the last page")
            << QStringList() << QStringList{fs, q, kLaser, QStringLiteral("--paginas=5-9")}
            << QStringLiteral("O relatório tem 3 página(s), nenhuma entre 5 e 9: nada foi "
                              "impresso.");
        QTest::newRow("no copies")
            << QStringList() << QStringList{fs, q, kLaser, QStringLiteral("--copias=0")}
            << QStringLiteral("Número de cópias inválido: '0'. Informe de 1 a 999.") + usage;
        QTest::newRow("range backwards")
            << QStringList() << QStringList{fs, q, kLaser, QStringLiteral("--paginas=3-2")}
            << QStringLiteral("Páginas inválidas: '3-2'. Informe a primeira e a última página, "
                              "por exemplo 2-5, ou uma só página.") +
                   usage;
        QTest::newRow("copies without a queue")
            << QStringList()
            << QStringList{fs, QStringLiteral("--copias=2"), QStringLiteral("saida.pdf")}
            << QStringLiteral("--copias e --paginas valem só com --impressora.") + usage;
        QTest::newRow("queue and file")
            << QStringList() << QStringList{fs, q, kLaser, QStringLiteral("saida.pdf")}
            << QStringLiteral("Informe a impressora ou o arquivo PDF, não os dois.") + usage;
    }
    void nothingIsSentWhenThePrintCannotBeDone()
    {
        QFETCH(QStringList, setUp);
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        TempProgramDir dir;
        writeTitles(3, 2);
        const int jobs = m_cups.jobCount(kLaser);
        if (!setUp.isEmpty())
            QCOMPARE(m_cups.tool(setUp.first(), setUp.mid(1)), 0);
        const Result r = kvcobLoteOnTestDatabase(dir.path(), args);
        if (!setUp.isEmpty()) {
            const QString undo = setUp.first() == QStringLiteral("cupsdisable")
                                     ? QStringLiteral("cupsenable")
                                     : QStringLiteral("cupsaccept");
            QCOMPARE(m_cups.tool(undo, {kLaser}), 0);
        }
        QCOMPARE(r.errText, error);
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(m_cups.jobCount(kLaser), jobs);
        QVERIFY(!QFile::exists(QStringLiteral("saida.pdf")));
    }

    // Last: the server goes away.
    void aStoppedServerIsSaidSo()
    {
        TempProgramDir dir;
        writeTitles(1, 1);
        m_cups.stop();
        const Result r = kvcobLoteOnTestDatabase(
            dir.path(), {QStringLiteral("folha-solta"), QStringLiteral("--impressora"), kLaser});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.errText.startsWith(QStringLiteral("O servidor de impressão (CUPS) em %1 não "
                                                     "responde")
                                          .arg(m_cups.socketPath())),
                 qPrintable(r.errText));
        QString error;
        QVERIFY2(m_cups.start(&error), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TstVerbImpressora)
#include "tst_verbimpressora.moc"

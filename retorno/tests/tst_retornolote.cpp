// The batch verbs over real files and real PDFs, as an office clerk runs them: importar,
// retorno, liquidados, folha-solta --pendentes; on the SQLite file and on a server.
#include "Database.h"
#include "EngineProgramDir.h"
#include "Regional.h"
#include "RetTestSupport.h"
#include "TestSupport.h"

#include <QtTest>

using namespace RetTestSupport;
using TestSupport::kvcobLote;
using Format = RetFile::Format;

namespace {
QString pdfText(const QString& path)
{
    int rc = -1;
    const QByteArray text = TestSupport::run(
        QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")}, &rc);
    return rc == 0 ? QString::fromUtf8(text) : QString();
}

// Titles of two beneficiaries, stored and the connection closed for the batch tool's runs;
// their keys as stored.
QList<Stored> importForTool()
{
    const QList<Stored> t =
        importTitles({QStringLiteral("CEDENTE SÃO JOÃO"), QStringLiteral("CEDENTE AÇAÍ")}, 3, 25);
    Database::closeAll();
    return t;
}

QString simplified(const QString& s)
{
    return s.simplified();
}
} // namespace

class TstRetornoLote : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase_data() { addEngineRows(); }
    void initTestCase()
    {
        if (!TestSupport::haveProgram(QStringLiteral("pdftotext")))
            QSKIP("pdftotext (poppler-utils) não está instalado");
    }
    void cleanup() { Database::closeAll(); }

    void retornoLiquidadosAndPendentes()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        dropTables(dir);
        const QList<Stored> t = importForTool();
        const QDate paid(2026, 11, 10); // the titles fall due on 10/11/2026
        RetOccurrence late = occurrenceOf(t[1], QStringLiteral("06"), paid.addDays(4));
        RetOccurrence rejected = occurrenceOf(t[2], QStringLiteral("03"), paid);
        rejected.motRej = QStringLiteral("4648");
        RetOccurrence fee = occurrenceOf(t[3], QStringLiteral("28"), paid);
        fee.valTar = 275;
        RetOccurrence unknown = occurrenceOf(t[4], QStringLiteral("06"), paid);
        unknown.nosNum = QStringLiteral("77777777777");
        RetOccurrence shortPaid = occurrenceOf(t[5], QStringLiteral("06"), paid);
        shortPaid.valPag -= 10;
        RetFileWriter w(Format::Cnab400, QDate(2026, 11, 15));
        w.add(occurrenceOf(t[0], QStringLiteral("06"), paid))
            .add(late)
            .add(rejected)
            .add(fee)
            .add(unknown)
            .add(shortPaid);
        const QString ret = writeFile(dir.file(QStringLiteral("CB151100.RET")), w.bytes());
        const QString report = dir.file(QStringLiteral("ocorrencias.pdf"));

        auto r = kvcobLote(dir.path(),
                           {QStringLiteral("retorno"), ret, QStringLiteral("--relatorio"), report});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        const QStringList lines = r.lines();
        QVERIFY(lines.contains(QStringLiteral("Ocorrências: 6")));
        const qint64 settled = t[0].value + t[1].value + t[4].value + t[5].value - 10;
        QVERIFY2(lines.contains(QStringLiteral("Liquidações: 4, somando R$ %1")
                                    .arg(Regional::formatCents(settled))),
                 qPrintable(r.out));
        QVERIFY(lines.contains(QStringLiteral("Entradas rejeitadas: 1")));
        QVERIFY(lines.contains(QStringLiteral("Tarifas: 1, somando R$ 2,75")));
        QVERIFY(lines.contains(QStringLiteral("Não identificadas: 1")));

        const QString oc = simplified(pdfText(report));
        QVERIFY2(oc.contains(QStringLiteral("OCORRÊNCIAS DO RETORNO")), qPrintable(oc));
        QVERIFY(oc.contains(QStringLiteral("Arquivo CB151100.RET (CNAB 400) de 15/11/2026")));
        QVERIFY(oc.contains(QStringLiteral("Inscrição do sacado inválida; CEP inválido")));
        QVERIFY(oc.contains(QStringLiteral("Débitos de tarifas 1 2,75")));
        QVERIFY(oc.contains(QStringLiteral("Pago a menor")));
        QVERIFY(oc.contains(QStringLiteral("Pago após o vencimento sem encargos")));
        QVERIFY(oc.contains(QStringLiteral("77777777777")));

        // The same bytes again: refused, nothing counted twice; then reprocessed.
        r = kvcobLote(dir.path(), {QStringLiteral("retorno"), ret});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(QStringLiteral("Este arquivo de retorno já foi processado em")),
                 qPrintable(r.err));
        r = kvcobLote(dir.path(),
                      {QStringLiteral("retorno"), QStringLiteral("--reprocessar"), ret});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY(
            r.lines().contains(QStringLiteral("Arquivo de retorno CB151100.RET reprocessado.")));

        // Settlements of the last file by default, grouped by beneficiary.
        const QString liq = dir.file(QStringLiteral("liquidados.pdf"));
        r = kvcobLote(dir.path(), {QStringLiteral("liquidados"), liq});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains(QStringLiteral("4 título(s) liquidado(s) de 11/11/2026 a "
                                               "15/11/2026")),
                 qPrintable(r.out));
        const QString lq = simplified(pdfText(liq));
        QVERIFY2(lq.contains(QStringLiteral("TÍTULOS LIQUIDADOS")), qPrintable(lq));
        QVERIFY(lq.contains(QStringLiteral("CEDENTE SÃO JOÃO - agência")));
        QVERIFY2(lq.contains(QStringLiteral("Total de CEDENTE AÇAÍ: 1 título")), qPrintable(lq));
        QVERIFY(lq.contains(QStringLiteral("Títulos não identificados")));
        QVERIFY(lq.contains(QStringLiteral("Total geral: 4 títulos")));
        QVERIFY(lq.contains(Regional::formatCents(settled)));
        r = kvcobLote(dir.path(), {QStringLiteral("liquidados"), QStringLiteral("--de"),
                                   QStringLiteral("01/01/2027"), liq});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains(QStringLiteral("Nenhum título liquidado")));

        // Bloquetos of the titles still open: 6 valid titles, 3 settled (the unidentified
        // settlement names none of them).
        const QString pend = dir.file(QStringLiteral("pendentes.pdf"));
        r = kvcobLote(dir.path(),
                      {QStringLiteral("folha-solta"), QStringLiteral("--pendentes"), pend});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY2(r.out.startsWith(QStringLiteral("3 bloqueto(s)")), qPrintable(r.out));
        r = kvcobLote(dir.path(), {QStringLiteral("folha-solta"), pend});
        QVERIFY(r.out.startsWith(QStringLiteral("6 bloqueto(s)")));
    }

    // The lines come in the report's order whatever order the file lists them in, and the
    // same on both engines: by agência and contrato, a contract's unidentified settlements
    // after its titles, then by credit date and nosso número.
    void settledLinesInReportOrder()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        dropTables(dir);
        const QList<Stored> t =
            importTitles({QStringLiteral("CEDENTE ZULU"), QStringLiteral("CEDENTE ALFA")}, 2);
        Database::closeAll();
        const QDate day(2026, 11, 12);
        RetOccurrence unknown = occurrenceOf(t[0], QStringLiteral("06"), day.addDays(-2));
        unknown.nosNum = QStringLiteral("00000000019");
        RetFileWriter w(Format::Cnab240, day);
        w.add(occurrenceOf(t[3], QStringLiteral("06"), day))
            .add(occurrenceOf(t[2], QStringLiteral("06"), day.addDays(-1)))
            .add(unknown)
            .add(occurrenceOf(t[1], QStringLiteral("06"), day))
            .add(occurrenceOf(t[0], QStringLiteral("17"), day));
        const QString ret = writeFile(dir.file(QStringLiteral("ordem.ret")), w.bytes());
        auto r = kvcobLote(dir.path(), {QStringLiteral("retorno"), ret});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        const QString liq = dir.file(QStringLiteral("liquidados.pdf"));
        r = kvcobLote(dir.path(), {QStringLiteral("liquidados"), liq});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));

        const QString text = simplified(pdfText(liq));
        const QStringList expected = {QStringLiteral("CEDENTE ZULU - agência"),
                                      t[0].nos,
                                      t[1].nos,
                                      QStringLiteral("Títulos não identificados - agência"),
                                      unknown.nosNum,
                                      QStringLiteral("CEDENTE ALFA - agência"),
                                      t[2].nos,
                                      t[3].nos,
                                      QStringLiteral("Total geral: 5 títulos")};
        qsizetype at = 0;
        for (const QString& e : expected) {
            const qsizetype found = text.indexOf(e, at);
            QVERIFY2(found >= 0, qPrintable(e + QStringLiteral(" fora de ordem em: ") + text));
            at = found + e.size();
        }
    }

    void refusedFilesSayWhy_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        RetOccurrence o =
            RetFileWriter::settlement(QStringLiteral("0341"), QStringLiteral("000000011"),
                                      QStringLiteral("00000000019"), 100, QDate(2026, 11, 2));
        QList<QByteArray> lines = RetFileWriter(Format::Cnab240).add(o).lines();
        lines.removeAt(3);
        QTest::newRow("T without U") << RetFileWriter::join(lines)
                                     << QStringLiteral("Linha 3: segmento T sem o seu segmento U.");
        BankFileWriter bank;
        bank.header(QStringLiteral("01"), QStringLiteral("CEDENTE"));
        bank.title(BankFileWriter::Title());
        bank.trailer();
        QTest::newRow("bank file by mistake")
            << bank.bytes()
            << QStringLiteral("O arquivo escolhido não parece um arquivo de retorno do banco 842.");
    }
    void refusedFilesSayWhy()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        dropTables(dir);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const QString path = writeFile(dir.file(QStringLiteral("x.ret")), bytes);
        const auto r = kvcobLote(dir.path(), {QStringLiteral("retorno"), path});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(r.err.contains(QStringLiteral("Nada foi gravado")));
        QCOMPARE(count(QStringLiteral("select count(*) from Ret")), 0);
    }
};

QTEST_MAIN(TstRetornoLote)
#include "tst_retornolote.moc"

#include "AddressBook.h"
#include "BarcodeScan.h"
#include "BloquetoCode.h"
#include "BloquetoMailing.h"
#include "BloquetoMessage.h"
#include "BlqTitles.h"
#include "Database.h"
#include "DbQuery.h"
#include "EmailConfig.h"
#include "EngineProgramDir.h"
#include "EnvStatements.h"
#include "ImportGuard.h"
#include "KvError.h"
#include "PageImages.h"
#include "ReceivedMail.h"
#include "SendRecord.h"
#include "SmtpTestServer.h"
#include "TitleFileNames.h"

#include <QFile>
#include <QSet>
#include <QTest>

// Each payer's bloqueto mailed through a real mail server (python3-aiosmtpd with STARTTLS
// and a login), read back as a mail program would.
namespace {
// Titles 1..n; the payer of title 1 has an accented name and two addresses, every other
// one address, except the titles listed in `withoutAddress`.
QList<BlqTitle> titles(int n)
{
    QList<BlqTitle> out;
    for (int i = 1; i <= n; ++i) {
        BlqTitle t = BlqTitles::numbered(i);
        t.cpfCgcSac = QString::number(10000000000LL + i); // a CPF: 11 digits
        if (i == 2)
            t.cpfCgcSac.prepend(QStringLiteral("000")); // as the bank pads it
        if (i == 1)
            t.sacNom = QStringLiteral("JOSÉ CONCEIÇÃO D'ÁVILA");
        out << t;
    }
    return out;
}

QString addressOf(int i)
{
    return QStringLiteral("pagador%1@exemplo.com.br").arg(i);
}

void fillBook(int n, const QList<int>& withoutAddress = {})
{
    AddressBook book;
    for (int i = 1; i <= n; ++i) {
        if (withoutAddress.contains(i))
            continue;
        QStringList a{addressOf(i)};
        if (i == 1)
            a << QStringLiteral("financeiro.jose@exemplo.com.br");
        book.put(QString::number(10000000000LL + i), a);
    }
}

QString envSituations()
{
    SendRecord::ensureTable(QStringLiteral("cobrancaKV"));
    DbQuery q;
    q.setStatement(EnvStatements::all());
    QStringList out;
    for (q.open(); !q.eof(); q.next())
        out << q.asString(QStringLiteral("EnvNosNum")).trimmed() + QLatin1Char(':') +
                   q.asString(QStringLiteral("EnvSit"));
    q.close();
    out.sort();
    return out.join(QLatin1Char(' '));
}

// The nosso número of each message received, from its subject.
QStringList receivedTitles(const SmtpTestServer& server)
{
    QStringList out;
    for (const SmtpTestServer::Received& r : server.received()) {
        const QString subject = ReceivedMail(r.raw).header("Subject");
        out << subject.section(QLatin1Char(' '), 1, 1) + QLatin1Char('>') +
                   r.recipients.join(QLatin1Char(','));
    }
    out.sort();
    return out;
}
} // namespace

class TestMailing : public QObject {
    Q_OBJECT

    // A program folder on the engine with `n` titles in Blq and the server's [Email].
    struct Setup {
        std::unique_ptr<EngineProgramDir> dir;
        QList<BlqTitle> rows;
    };

    static void prepare(EngineProgramDir& dir, const SmtpTestServer& server, int n,
                        const QByteArray& more = {}, const QList<int>& withoutAddress = {})
    {
        if (dir.isServer()) {
            dir.serverExec(QStringLiteral("drop table if exists Ema"));
            dir.serverExec(QStringLiteral("drop table if exists Env"));
        }
        dir.writeConf(server.confSection(dir.file(QStringLiteral("senha-smtp")), more));
        BlqTitles::fill(0);
        BlqTitles::store(titles(n));
        fillBook(n, withoutAddress);
    }

private slots:
    void initTestCase_data() { addEngineRows(); }
    void cleanup() { Database::closeAll(); }

    // Who gets what: every address of a payer its own message with his bloqueto, nobody
    // twice, the payer without an address named in the summary.
    void sendsEachPayerHisBloqueto()
    {
        KV_NEED_SMTP();
        KV_GLOBAL_ENGINE_DIR(dir);
        KV_SMTP_SERVER(server, {});
        prepare(dir, server, 4, {}, {3});

        BloquetoMailing mailing;
        BloquetoMailing::Outcome out = mailing.run(BloquetoMailing::Options{});
        QVERIFY2(out.error.isEmpty(), qPrintable(out.error));
        QCOMPARE(out.sent.size(), 4); // two for title 1, one each for 2 and 4
        QCOMPARE(out.plan.withoutAddress.size(), 1);
        QCOMPARE(out.plan.withoutAddress.first().nossoNumero, titles(4).at(2).nosNum.trimmed());
        QVERIFY(BloquetoMailing::summary(out)
                    .join(QLatin1Char('\n'))
                    .contains(QStringLiteral("1 título(s) sem endereço de e-mail")));

        const QList<BlqTitle> rows = titles(4);
        const QList<SmtpTestServer::Received> got = server.received();
        QCOMPARE(got.size(), 4);
        QSet<QString> recipients;
        for (const SmtpTestServer::Received& r : got) {
            QCOMPARE(r.recipients.size(), 1);
            recipients << r.recipients.first();
            const ReceivedMail mail(r.raw);
            const QString to = r.recipients.first();
            const int i = to == QStringLiteral("financeiro.jose@exemplo.com.br")
                              ? 1
                              : to.mid(7, to.indexOf(QLatin1Char('@')) - 7).toInt();
            QVERIFY2(i >= 1 && i <= 4, qPrintable(to));
            const BlqTitle& t = rows.at(i - 1);
            QCOMPARE(mail.header("To"), to);
            QCOMPARE(mail.header("From"),
                     QStringLiteral("Cobrança Escritório <cobranca@escritorio.com.br>"));
            QCOMPARE(mail.header("Subject"),
                     QStringLiteral("Bloqueto %1 - vencimento %2 - %3")
                         .arg(t.nosNum.trimmed(), t.datVen.toString(QStringLiteral("dd/MM/yyyy")),
                              t.nomCed.trimmed()));
            const BloquetoCode code = BloquetoCode::compose(
                {t.ageCod, t.nosNum, t.ctrCod, BlqTitle::cents(t.titVal), t.datVen});
            const QString text = mail.text();
            QVERIFY2(text.contains(QStringLiteral("Prezado(a) %1,").arg(t.sacNom.trimmed())),
                     qPrintable(text));
            QVERIFY(text.contains(code.typeableLine()));
            const ReceivedMail::Part* pdf = mail.attachment();
            QVERIFY(pdf);
            QVERIFY(pdf->contentType.startsWith("application/pdf"));
            QCOMPARE(pdf->fileName, TitleFileNames::baseName(t.seuNum, t.nosNum));
            QVERIFY(pdf->bytes.startsWith("%PDF-"));
            if (i == 1 || i == 4) { // the barcode a bank's reader sees
                if (!BarcodeScan::available() ||
                    !TestSupport::haveProgram(QStringLiteral("pdftoppm")))
                    continue;
                QTemporaryDir tmp;
                const QString file = tmp.filePath(QStringLiteral("b.pdf"));
                QVERIFY(TestSupport::writeFile(file, pdf->bytes));
                QCOMPARE(BarcodeScan::interleaved25(PageImages::rendered(file, 1, 300)),
                         code.barcode());
            }
        }
        QCOMPARE(recipients.size(), 4);
        QVERIFY(recipients.contains(QStringLiteral("financeiro.jose@exemplo.com.br")));

        // Again: nothing goes twice; --reenviar of one title sends it alone.
        out = mailing.run(BloquetoMailing::Options{});
        QCOMPARE(out.sent.size(), 0);
        QCOMPARE(out.plan.alreadySent.size(), 4);
        BloquetoMailing::Options again;
        again.resend = true;
        again.nossosNumeros << rows.at(1).nosNum.trimmed();
        out = mailing.run(again);
        QCOMPARE(out.sent.size(), 1);
        QCOMPARE(server.received().size(), 5);

        // A new due date is a new bloqueto: it goes.
        BlqTitle changed = rows.at(1);
        changed.datVen = changed.datVen.addDays(30);
        BlqTitles::fill(0);
        BlqTitles::store({rows.at(0), changed, rows.at(2), rows.at(3)});
        out = mailing.run(BloquetoMailing::Options{});
        QCOMPARE(out.sent.size(), 1);
        QCOMPARE(out.sent.first().nossoNumero, changed.nosNum.trimmed());
    }

    // One address refused (550): recorded with the server's answer, the others go.
    void refusedAddressRecordedRunGoesOn()
    {
        KV_NEED_SMTP();
        KV_GLOBAL_ENGINE_DIR(dir);
        KV_SMTP_SERVER(server, {{addressOf(2)}, -1});
        prepare(dir, server, 3);
        BloquetoMailing mailing;
        BloquetoMailing::Outcome out = mailing.run(BloquetoMailing::Options{});
        QVERIFY2(out.error.isEmpty(), qPrintable(out.error));
        QCOMPARE(out.sent.size(), 3);
        QCOMPARE(out.refused.size(), 1);
        QCOMPARE(out.refused.first().address, addressOf(2));
        QVERIFY2(out.refused.first().answer.startsWith(QStringLiteral("550")),
                 qPrintable(out.refused.first().answer));
        const QString n2 = titles(3).at(1).nosNum.trimmed();
        QVERIFY(envSituations().contains(n2 + QStringLiteral(":R")));
        QVERIFY(BloquetoMailing::summary(out)
                    .join(QLatin1Char('\n'))
                    .contains(QStringLiteral("recusada: %1").arg(n2)));
        // The refused one is tried again by the next run, the accepted ones are not.
        out = mailing.run(BloquetoMailing::Options{});
        QCOMPARE(out.sent.size(), 0);
        QCOMPARE(out.refused.size(), 1);
        QCOMPARE(server.received().size(), 3);
    }

    // The server goes away in the middle of the run: the run stops saying so, and the
    // next run sends exactly what was not accepted.
    void serverGoneThenRunRepeated()
    {
        KV_NEED_SMTP();
        KV_GLOBAL_ENGINE_DIR(dir);
        SmtpTestServer server;
        QString why;
        QVERIFY2(server.start(SmtpTestServer::Options{{}, 3}, &why), qPrintable(why));
        prepare(dir, server, 7);
        BloquetoMailing mailing;
        BloquetoMailing::Outcome out = mailing.run(BloquetoMailing::Options{});
        QVERIFY(!out.error.isEmpty());
        QVERIFY2(out.error.contains(QStringLiteral("127.0.0.1:%1").arg(server.port())),
                 qPrintable(out.error));
        QVERIFY(out.advice.contains(QStringLiteral("não serão repetidas")));
        QCOMPARE(out.sent.size(), 3);
        QCOMPARE(out.notSent.size(), 5); // 8 messages: title 1 has two addresses
        QCOMPARE(server.received().size(), 3);

        QVERIFY(server.start(SmtpTestServer::Options{}, &why));
        out = mailing.run(BloquetoMailing::Options{});
        QVERIFY2(out.error.isEmpty(), qPrintable(out.error));
        QCOMPARE(out.sent.size(), 5);
        QCOMPARE(out.plan.alreadySent.size(), 3);
        const QStringList got = receivedTitles(server);
        QCOMPARE(got.size(), 8);
        QCOMPARE(QSet<QString>(got.begin(), got.end()).size(), 8); // none twice
    }

    // What stops a run before any message goes: each says what to do.
    void refusedBeforeSending_data()
    {
        QTest::addColumn<QByteArray>("more");
        QTest::addColumn<QString>("case_");
        QTest::addColumn<QString>("said");
        QTest::newRow("wrong password") << QByteArray() << QStringLiteral("password")
                                        << QStringLiteral("recusou o usuário ou a senha");
        QTest::newRow("untrusted certificate")
            << QByteArray() << QStringLiteral("ca") << QStringLiteral("não foi aceito");
        QTest::newRow("password file readable by others")
            << QByteArray() << QStringLiteral("mode") << QStringLiteral("chmod 600");
    }
    void refusedBeforeSending()
    {
        KV_NEED_SMTP();
        KV_GLOBAL_ENGINE_DIR(dir);
        QFETCH(QString, case_);
        QFETCH(QString, said);
        KV_SMTP_SERVER(server, {});
        prepare(dir, server, 2);
        const QString secret = dir.file(QStringLiteral("senha-smtp"));
        QByteArray conf = TestSupport::readFile(dir.file(QStringLiteral("kvcob.conf")));
        if (case_ == QStringLiteral("password")) {
            QFile f(secret);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("errada\n");
        } else if (case_ == QStringLiteral("ca")) {
            conf.replace("CAArquivo=", "#CAArquivo=");
            QFile f(dir.file(QStringLiteral("kvcob.conf")));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(conf);
        } else {
            QFile::setPermissions(secret, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ReadGroup | QFileDevice::ReadOther);
        }
        BloquetoMailing mailing;
        QString text;
        try {
            const BloquetoMailing::Outcome out = mailing.run(BloquetoMailing::Options{});
            QCOMPARE(out.sent.size(), 0);
            text = out.error + QLatin1Char('\n') + out.advice;
        } catch (const KvError& e) {
            text = e.userText();
        }
        QVERIFY2(text.contains(said), qPrintable(text));
        QCOMPARE(server.received().size(), 0);
        QVERIFY(!envSituations().contains(QStringLiteral(":A")));
    }

    // Assunto= and Modelo= with every field.
    void templateFields()
    {
        KV_NEED_SMTP();
        KV_GLOBAL_ENGINE_DIR(dir);
        KV_SMTP_SERVER(server, {});
        QFile model(dir.file(QStringLiteral("modelo.txt")));
        QVERIFY(model.open(QIODevice::WriteOnly));
        model.write("Olá {sacado}!\nVence {vencimento}, valor {valor}.\n{linha_digitavel}\n"
                    "{pix}|{beneficiario}|{nosso_numero}|{outro}\n");
        model.close();
        prepare(dir, server, 2,
                "Assunto=Sua cobrança {nosso_numero}, {valor}\nModelo=modelo.txt\n"
                "ResponderPara=Financeiro <fin@escritorio.com.br>\n",
                {2});
        BloquetoMailing mailing;
        const BloquetoMailing::Outcome out = mailing.run(BloquetoMailing::Options{});
        QCOMPARE(out.sent.size(), 2);
        const BlqTitle t = titles(1).first();
        const QString value = BloquetoMessage::money(BlqTitle::cents(t.titVal));
        const BloquetoCode code = BloquetoCode::compose(
            {t.ageCod, t.nosNum, t.ctrCod, BlqTitle::cents(t.titVal), t.datVen});
        const ReceivedMail mail(server.received().first().raw);
        QCOMPARE(mail.header("Subject"),
                 QStringLiteral("Sua cobrança %1, %2").arg(t.nosNum.trimmed(), value));
        QCOMPARE(mail.header("Reply-To"), QStringLiteral("Financeiro <fin@escritorio.com.br>"));
        QCOMPARE(mail.text(),
                 QStringLiteral("Olá JOSÉ CONCEIÇÃO D'ÁVILA!\r\nVence %1, valor %2.\r\n%3\r\n"
                                "%4|%5|%6|{outro}\r\n")
                     .arg(t.datVen.toString(QStringLiteral("dd/MM/yyyy")), value,
                          code.typeableLine(), t.pixEmv.trimmed(), t.nomCed.trimmed(),
                          t.nosNum.trimmed()));
    }

    // The batch tool: the address book loaded from a spreadsheet's CSV with a bad line,
    // the run's summary, the exit status of a run with a refusal.
    void batchTool()
    {
        KV_NEED_SMTP();
        KV_GLOBAL_ENGINE_DIR(dir);
        KV_SMTP_SERVER(server, {{addressOf(3)}, -1});
        prepare(dir, server, 4, {}, {1, 2, 3, 4});
        Database::closeAll();
        QFile csv(dir.file(QStringLiteral("enderecos.csv")));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("CPF;E-mail\r\n"
                  "100.000.000-01;pagador1@exemplo.com.br\r\n"
                  "10000000002;pagador2@exemplo.com.br\r\n"
                  "10000000003;pagador3@exemplo.com.br\r\n"
                  "10000000004;pagador4@@exemplo.com.br\r\n");
        csv.close();
        TestSupport::ToolRun r = TestSupport::kvcobLote(
            dir.path(), {QStringLiteral("enderecos"), QStringLiteral("importar"), csv.fileName()});
        QCOMPARE(r.exitCode, 3);
        QVERIFY2(r.out.contains(QStringLiteral("linha 5 recusada")), qPrintable(r.out));
        QVERIFY(r.out.contains(QStringLiteral("3 endereço(s) incluído(s)")));
        r = TestSupport::kvcobLote(dir.path(),
                                   {QStringLiteral("enderecos"), QStringLiteral("listar")});
        QCOMPARE(r.lines().size(), 3);
        QCOMPARE(r.lines().first(), QStringLiteral("10000000001;pagador1@exemplo.com.br"));

        r = TestSupport::kvcobLote(
            dir.path(),
            {QStringLiteral("enviar"), QStringLiteral("--intervalo"), QStringLiteral("10")});
        QCOMPARE(r.exitCode, 3); // one refused
        QVERIFY2(r.out.contains(QStringLiteral("2 mensagem(ns) enviada(s)")), qPrintable(r.out));
        QVERIFY(r.out.contains(QStringLiteral("1 título(s) sem endereço de e-mail")));
        QVERIFY(r.out.contains(QStringLiteral("1 recusada(s)")));
        QCOMPARE(server.received().size(), 2);

        const QString second = titles(2).at(1).nosNum.trimmed();
        r = TestSupport::kvcobLote(dir.path(),
                                   {QStringLiteral("enviar"), QStringLiteral("--titulo"), second,
                                    QStringLiteral("--reenviar")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains(QStringLiteral("1 mensagem(ns) enviada(s)")), qPrintable(r.out));
        server.stop();
        r = TestSupport::kvcobLote(dir.path(),
                                   {QStringLiteral("enviar"), QStringLiteral("--titulo"), second,
                                    QStringLiteral("--reenviar")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(QStringLiteral("127.0.0.1:%1").arg(server.port())),
                 qPrintable(r.err));
    }

    // Two desks mailing the same titles at once would both find them not yet sent: the
    // second is refused at once, and sends everything once the first has finished.
    void secondDeskRefusedWhileOneSends()
    {
        KV_NEED_SMTP();
        KV_GLOBAL_ENGINE_DIR(dir);
        KV_SMTP_SERVER(server, {{}, -1});
        prepare(dir, server, 2);
        {
            const ImportGuard firstDesk(QStringLiteral("cobrancaKV"), ImportGuard::Load::Mailing);
            const TestSupport::ToolRun r =
                TestSupport::kvcobLote(dir.path(), {QStringLiteral("enviar")});
            QCOMPARE(r.exitCode, 1);
            QCOMPARE(r.errText, ImportGuard::busyMessage(ImportGuard::Load::Mailing));
            QCOMPARE(server.received().size(), 0);
            // A bank file may still be imported meanwhile: each has a lock of its own.
            const ImportGuard import(QStringLiteral("cobrancaKV"));
        }
        const TestSupport::ToolRun r =
            TestSupport::kvcobLote(dir.path(), {QStringLiteral("enviar")});
        QVERIFY2(r.exitCode == 0, qPrintable(r.errText));
        QCOMPARE(server.received().size(), 3); // title 1's payer has two addresses
    }

    // --pendentes leaves out the titles the bank's return files say were settled or
    // written off, and sends the rest.
    void pendentesLeavesSettledTitlesOut()
    {
        KV_NEED_SMTP();
        KV_GLOBAL_ENGINE_DIR(dir);
        KV_SMTP_SERVER(server, {{}, -1});
        prepare(dir, server, 3);
        const QList<BlqTitle> rows = titles(3);
        const auto occurrence = [](const BlqTitle& t, const char* code) {
            DbQuery q;
            q.sql() << QStringLiteral("insert into Ret (RetArqSeq, RetAgeCod, RetCtrCod, "
                                      "RetNosNum, RetCodOco, RetDatOco) values "
                                      "(1, '%1', '%2', '%3', '%4', '2026-03-01')")
                           .arg(t.ageCod, t.ctrCod, t.nosNum, QLatin1StringView(code));
            q.execSql();
        };
        occurrence(rows.at(0), "06"); // settled
        occurrence(rows.at(1), "09"); // written off
        occurrence(rows.at(2), "02"); // entry confirmed: still to be paid
        Database::closeAll();
        const TestSupport::ToolRun r = TestSupport::kvcobLote(
            dir.path(), {QStringLiteral("enviar"), QStringLiteral("--pendentes")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains(QStringLiteral("1 mensagem(ns) enviada(s)")), qPrintable(r.out));
        QCOMPARE(server.received().size(), 1);
    }
};

QTEST_MAIN(TestMailing)
#include "tst_mailing.moc"

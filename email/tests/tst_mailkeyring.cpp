#include "BloquetoMailing.h"
#include "EmailConfig.h"
#include "KeyringSession.h"
#include "KvError.h"
#include "MailKeyring.h"
#include "SmtpTestServer.h"
#include "TestSupport.h"

#include <QFile>
#include <QTest>

// The mail server's password kept in the session's keyring instead of a file: a real
// Secret Service (gnome-keyring-daemon on a private session bus), and the batch tool
// storing the password and then mailing with it.
namespace {
const QString kServer = QStringLiteral("smtp.escritorio.com.br");

// Runs `action` with no session bus in sight, as at a console or in a service.
template <typename F> void withoutSession(F action)
{
    const QByteArray bus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("XDG_RUNTIME_DIR", QByteArray("/nonexistent"));
    action();
    if (!bus.isEmpty())
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus);
    if (!runtime.isEmpty())
        qputenv("XDG_RUNTIME_DIR", runtime);
    else
        qunsetenv("XDG_RUNTIME_DIR");
}
} // namespace

// The session is one for the whole test: the process keeps its first connection to a
// session bus for good, as a desktop program does.
#define KV_NEED_KEYRING()                                                                          \
    do {                                                                                           \
        if (const QString missing = KeyringSession::missing(); !missing.isEmpty())                 \
            KV_SKIP_OR_FAIL(missing);                                                              \
        QVERIFY2(m_keyringWhy.isEmpty(), qPrintable(m_keyringWhy));                                \
    } while (false)

class TestMailKeyring : public QObject {
    Q_OBJECT

    TempProgramDir m_dir;
    KeyringSession m_keyring;
    QString m_keyringWhy;

    EmailConfig config(const QByteArray& more)
    {
        QFile conf(m_dir.file(QStringLiteral("kvcob.conf")));
        if (!conf.open(QIODevice::WriteOnly))
            return {};
        conf.write("[Email]\nServidor=" + kServer.toUtf8() +
                   "\nRemetente=cobranca@escritorio.com.br\n" + more);
        conf.close();
        return EmailConfig::read(conf.fileName());
    }

private slots:
    void initTestCase()
    {
        if (KeyringSession::missing().isEmpty() && !m_keyring.start(&m_keyringWhy) &&
            m_keyringWhy.isEmpty())
            m_keyringWhy = QStringLiteral("o chaveiro de teste não iniciou");
    }

    // The keyring answers for its server and user only; a password file, where named,
    // is the one used.
    void passwordFromTheKeyring()
    {
        KV_NEED_KEYRING();
        QVERIFY(MailKeyring::available());
        QCOMPARE(MailKeyring::lookup(kServer, QStringLiteral("cobranca")), std::nullopt);
        MailKeyring::store(kServer, QStringLiteral("cobranca"), QStringLiteral("s3nha çá"));
        MailKeyring::store(kServer, QStringLiteral("outro"), QStringLiteral("outra"));
        QCOMPARE(config("Usuario=cobranca\n").password(), QStringLiteral("s3nha çá"));
        // Stored again: the new one replaces it.
        MailKeyring::store(kServer, QStringLiteral("cobranca"), QStringLiteral("nova"));
        QCOMPARE(config("Usuario=cobranca\n").password(), QStringLiteral("nova"));
        QVERIFY(TestSupport::errorOf([&] {
                    config("Usuario=ana\n").password();
                }).contains(QStringLiteral("Falta a senha do usuário ana")));

        QFile file(m_dir.file(QStringLiteral("senha")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("do-arquivo\n");
        file.close();
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(config("Usuario=cobranca\nSenhaArquivo=senha\n").password(),
                 QStringLiteral("do-arquivo"));
    }

    // Without a session nothing waits for one: the password is missing, and the advice
    // names both places it may live.
    void withoutAKeyring()
    {
        withoutSession([&] {
            QVERIFY(!MailKeyring::available());
            QCOMPARE(MailKeyring::lookup(kServer, QStringLiteral("cobranca")), std::nullopt);
            try {
                config("Usuario=cobranca\n").password();
                QFAIL("a password came from nowhere");
            } catch (const KvError& e) {
                QVERIFY2(e.advice().contains(QStringLiteral("SenhaArquivo=")) &&
                             e.advice().contains(QStringLiteral("kvcob-lote senha-email")),
                         qPrintable(e.advice()));
            }
            QVERIFY(TestSupport::errorOf([] {
                        MailKeyring::store(kServer, QStringLiteral("a"), QStringLiteral("b"));
                    }).contains(QStringLiteral("não tem chaveiro")));
        });
    }

    // The clerk keeps the password once with the batch tool, and the sending finds it.
    void batchToolKeepsItAndSends()
    {
        KV_NEED_SMTP();
        KV_NEED_KEYRING();
        KV_SMTP_SERVER(server, {});
        TempProgramDir dir;
        QFile conf(dir.file(QStringLiteral("kvcob.conf")));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write(server.confSection(QString()));
        conf.close();

        TestSupport::ToolRun r = TestSupport::kvcobLote(dir.path(), {QStringLiteral("senha-email")},
                                                        server.password().toUtf8() + '\n');
        QVERIFY2(r.exitCode == 0, qPrintable(r.errText));
        QVERIFY2(r.out.contains(QStringLiteral("guardada no chaveiro")), qPrintable(r.out));
        QCOMPARE(MailKeyring::lookup(QStringLiteral("127.0.0.1"), server.user()),
                 server.password());

        r = TestSupport::kvcobLote(dir.path(), {QStringLiteral("senha-email")}, "\n");
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains(QStringLiteral("Nenhuma senha foi informada")));
        QCOMPARE(MailKeyring::lookup(QStringLiteral("127.0.0.1"), server.user()),
                 server.password());

        // The server takes the login with the kept password (the test message goes to
        // the sender's own address).
        const EmailConfig c = EmailConfig::read(conf.fileName());
        QCOMPARE(c.password(), server.password());
        BloquetoMailing::testServer(c);
        QCOMPARE(server.received().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestMailKeyring)
#include "tst_mailkeyring.moc"

#include "AddressBook.h"
#include "AddressImport.h"
#include "BloquetoMessage.h"
#include "Database.h"
#include "EmailConfig.h"
#include "EngineProgramDir.h"
#include "KvError.h"
#include "MailAddress.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The parts of mailing that need no server: the settings and the password file, addresses
// and their headers, the message texts, and the address book over both engines.
class TestEmailCore : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString writeConf(const QByteArray& section)
    {
        const QString path = m_dir.filePath(QStringLiteral("kvcob.conf"));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(section);
        return path;
    }

    QString writeSecret(const QString& name, QFileDevice::Permissions mode)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("segredo com espaço\n");
        f.close();
        f.setPermissions(mode);
        return path;
    }

private slots:
    void cleanup() { Database::closeAll(); }

    void configRefusals_data()
    {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QString>("said"); // part of the message or advice

        const QByteArray base = "[Email]\nServidor=smtp.exemplo.com.br\n"
                                "Remetente=Cobrança <cobranca@exemplo.com.br>\n";
        QTest::newRow("no section") << QByteArray("[cobrancaKV]\nDriver=QSQLITE\n")
                                    << QStringLiteral("não está configurado");
        QTest::newRow("password key") << base + "Senha=abc\n" << QStringLiteral("SenhaArquivo=");
        QTest::newRow("Password key") << base + "password=abc\n"
                                      << QStringLiteral("não pode guardar a senha");
        QTest::newRow("plain to another machine") << base + "Seguranca=nenhuma\n"
                                                  << QStringLiteral("só vale para um servidor");
        QTest::newRow("unknown security") << base + "Seguranca=ssl3\n"
                                          << QStringLiteral("starttls, tls ou nenhuma");
        QTest::newRow("port not a number") << base + "Porta=smtp\n"
                                           << QStringLiteral("Porta de e-mail inválida");
        QTest::newRow("sender malformed")
            << QByteArray("[Email]\nServidor=smtp.exemplo.com.br\nRemetente=Cobrança\n")
            << QStringLiteral("Remetente=Nome <endereco@dominio>");
        QTest::newRow("no server")
            << QByteArray("[Email]\nRemetente=a@exemplo.com.br\n") << QStringLiteral("Servidor=");
    }
    void configRefusals()
    {
        QFETCH(QByteArray, section);
        QFETCH(QString, said);
        try {
            EmailConfig::read(writeConf(section));
            QFAIL("accepted");
        } catch (const KvError& e) {
            QVERIFY2(e.userText().contains(said), qPrintable(e.userText()));
        }
    }

    void configDefaultsAndPaths()
    {
        writeSecret(QStringLiteral("senha-smtp"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        const EmailConfig c = EmailConfig::read(
            writeConf("[Email]\nServidor=localhost\nSeguranca=nenhuma\nUsuario=ana\n"
                      "SenhaArquivo=senha-smtp\nRemetente=\"Silva, Ana\" <ana@exemplo.com.br>\n"
                      "Assunto=Boleto {nosso_numero}, vence {vencimento}\n"));
        QCOMPARE(c.port, 587);
        QCOMPARE(c.security, EmailConfig::Security::None);
        QCOMPARE(c.url(), QStringLiteral("smtp://localhost:587"));
        QCOMPARE(c.senderName, QStringLiteral("Silva, Ana"));
        QCOMPARE(c.senderAddress, QStringLiteral("ana@exemplo.com.br"));
        // A comma in a value is the text's own, not a list.
        QCOMPARE(c.subject, QStringLiteral("Boleto {nosso_numero}, vence {vencimento}"));
        // A relative password file is beside kvcob.conf; its last line break is not the
        // password's.
        QCOMPARE(c.password(), QStringLiteral("segredo com espaço"));
        const EmailConfig tls = EmailConfig::read(
            writeConf("[Email]\nServidor=smtp.exemplo.com.br\nSeguranca=tls\nPorta=465\n"
                      "Remetente=cobranca@exemplo.com.br\n"));
        QCOMPARE(tls.url(), QStringLiteral("smtps://smtp.exemplo.com.br:465"));
        QCOMPARE(tls.security, EmailConfig::Security::Tls);
        QCOMPARE(tls.password(), QString()); // no user, no login
    }

    void passwordFileMustBePrivate_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("0600") << int(QFileDevice::ReadOwner | QFileDevice::WriteOwner) << true;
        QTest::newRow("0400") << int(QFileDevice::ReadOwner) << true;
        QTest::newRow("0640") << int(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                     QFileDevice::ReadGroup)
                              << false;
        QTest::newRow("0604") << int(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                     QFileDevice::ReadOther)
                              << false;
    }
    void passwordFileMustBePrivate()
    {
        QFETCH(int, mode);
        QFETCH(bool, accepted);
        const QString secret =
            writeSecret(QStringLiteral("senha-%1").arg(mode), QFileDevice::Permissions(mode));
        EmailConfig c = EmailConfig::read(
            writeConf("[Email]\nServidor=smtp.exemplo.com.br\nUsuario=ana\nRemetente=a@b.com.br\n"
                      "SenhaArquivo=" +
                      secret.toUtf8() + "\n"));
        try {
            QCOMPARE(c.password(), QStringLiteral("segredo com espaço"));
            QVERIFY(accepted);
        } catch (const KvError& e) {
            QVERIFY2(!accepted, qPrintable(e.userText()));
            QVERIFY(e.message().contains(QStringLiteral("pode ser lido por outros")));
            QVERIFY(e.advice().contains(QStringLiteral("chmod 600")));
        }
    }

    void missingPasswordFile()
    {
        EmailConfig c = EmailConfig::read(
            writeConf("[Email]\nServidor=smtp.exemplo.com.br\nUsuario=ana\nRemetente=a@b.com.br\n"
                      "SenhaArquivo=nao-existe\n"));
        QVERIFY_THROWS_EXCEPTION(KvError, c.password());
        c.passwordFile.clear();
        QVERIFY_THROWS_EXCEPTION(KvError, c.password());
    }

    void addresses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << QStringLiteral("ana.silva@escritorio.com.br") << true;
        QTest::newRow("plus") << QStringLiteral("ana+boletos@exemplo.com") << true;
        QTest::newRow("no domain dot") << QStringLiteral("ana@localhost") << false;
        QTest::newRow("two ats") << QStringLiteral("ana@b@exemplo.com") << false;
        QTest::newRow("blank") << QStringLiteral("ana silva@exemplo.com") << false;
        QTest::newRow("header injection")
            << QStringLiteral("ana@exemplo.com\r\nBcc: todos@exemplo.com") << false;
        QTest::newRow("accented") << QStringLiteral("joão@exemplo.com") << false;
        QTest::newRow("dot at end") << QStringLiteral("ana.@exemplo.com") << false;
    }
    void addresses()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(MailAddress::isValid(text), valid);
    }

    void splitKeepsGoodAndReportsBad()
    {
        QStringList bad;
        const QStringList good = MailAddress::split(
            QStringLiteral(" a@exemplo.com ; b@exemplo.com,,A@exemplo.com; ruim@; "), &bad);
        QCOMPARE(good,
                 (QStringList{QStringLiteral("a@exemplo.com"), QStringLiteral("b@exemplo.com")}));
        QCOMPARE(bad, QStringList{QStringLiteral("ruim@")});
    }

    void namedHeaders_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("header");
        QTest::newRow("ascii") << QStringLiteral("Ana <ana@exemplo.com>") << QStringLiteral("Ana")
                               << QByteArray("Ana <ana@exemplo.com>");
        QTest::newRow("accents") << QStringLiteral("Cobrança São João <c@exemplo.com>")
                                 << QStringLiteral("Cobrança São João")
                                 << QByteArray("=?UTF-8?B?") +
                                        QStringLiteral("Cobrança São João").toUtf8().toBase64() +
                                        "?= <c@exemplo.com>";
        QTest::newRow("comma quoted")
            << QStringLiteral("\"Silva, Ana\" <ana@exemplo.com>") << QStringLiteral("Silva, Ana")
            << QByteArray("\"Silva, Ana\" <ana@exemplo.com>");
        QTest::newRow("bare") << QStringLiteral("ana@exemplo.com") << QString()
                              << QByteArray("ana@exemplo.com");
    }
    void namedHeaders()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(QByteArray, header);
        const MailAddress::Named n = MailAddress::parseNamed(text);
        QCOMPARE(n.name, name);
        QCOMPARE(n.header(), header);
    }

    void longSubjectEncodedInWholeCharacters()
    {
        const QString subject = QString(40, QChar(0x00E7)) + QStringLiteral(" fim");
        const QByteArray encoded = MailAddress::encodeWord(subject);
        QString back;
        for (const QByteArray& word : encoded.split(' ')) {
            QVERIFY(word.startsWith("=?UTF-8?B?") && word.endsWith("?="));
            QVERIFY(word.size() <= 75);
            // Each word decodes alone: no character is split between two.
            const QString part = QString::fromUtf8(QByteArray::fromBase64(word.mid(10).chopped(2)));
            QVERIFY(!part.contains(QChar::ReplacementCharacter));
            back += part;
        }
        QCOMPARE(back, subject);
    }

    void templateFields()
    {
        BloquetoMessage::Fields f;
        f.sacado = QStringLiteral("José Antônio ");
        f.vencimento = QDate(2026, 3, 5);
        f.cents = 123456789;
        f.linhaDigitavel = QStringLiteral("12345.67890 12345.678901 12345.678901 1 00000000012345");
        f.pix = QStringLiteral("000201PIX");
        f.beneficiario = QStringLiteral("Cedente Ltda");
        f.nossoNumero = QStringLiteral("26000001010");
        const QString all = QStringLiteral(
            "{sacado}|{vencimento}|{valor}|{linha_digitavel}|{pix}|{beneficiario}|{nosso_numero}|"
            "{desconhecido}");
        QCOMPARE(BloquetoMessage::fill(all, f),
                 QStringLiteral("José Antônio|05/03/2026|R$ 1.234.567,89|%1|000201PIX|Cedente "
                                "Ltda|26000001010|{desconhecido}")
                     .arg(f.linhaDigitavel));
        QCOMPARE(BloquetoMessage::subject(QString(), f),
                 QStringLiteral("Bloqueto 26000001010 - vencimento 05/03/2026 - Cedente Ltda"));
        QCOMPARE(BloquetoMessage::subject(QStringLiteral("A\r\nB {valor}"), f),
                 QStringLiteral("A B R$ 1.234.567,89"));
        const QString body = BloquetoMessage::body(QString(), f);
        QVERIFY(body.contains(QStringLiteral("PIX copia e cola: 000201PIX\r\n")));
        QVERIFY(!body.contains(QRegularExpression(QStringLiteral("[^\\r]\\n"))));
        f.pix.clear();
        QVERIFY(!BloquetoMessage::body(QString(), f).contains(QStringLiteral("PIX")));
        QCOMPARE(BloquetoMessage::money(5), QStringLiteral("R$ 0,05"));
        QCOMPARE(BloquetoMessage::money(100000), QStringLiteral("R$ 1.000,00"));
    }

    void documents_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("digits");
        QTest::newRow("cpf punctuated")
            << QStringLiteral("123.456.789-09") << QStringLiteral("12345678909");
        QTest::newRow("cnpj punctuated")
            << QStringLiteral(" 12.345.678/0001-95 ") << QStringLiteral("12345678000195");
        QTest::newRow("too short") << QStringLiteral("1234567890") << QString();
        QTest::newRow("letters") << QStringLiteral("123.456.789-0X") << QString();
    }
    void documents()
    {
        QFETCH(QString, typed);
        QFETCH(QString, digits);
        QCOMPARE(AddressBook::document(typed), digits);
    }

    void importCsv_data()
    {
        QTest::addColumn<QString>("engine");
        for (const QString& e : EngineProgramDir::engines())
            QTest::newRow(qPrintable(e)) << e;
    }
    void importCsv()
    {
        QFETCH(QString, engine);
        KV_ENGINE_DIR(dir, engine);
        if (dir.isServer())
            dir.serverExec(QStringLiteral("drop table if exists Ema"));
        AddressBook book;
        // Windows-1252 bytes (a spreadsheet's "CSV" on a Brazilian desk).
        const QByteArray cp1252 =
            "CPF/CNPJ;E-mail\r\n"
            "123.456.789-09;ana@exemplo.com.br\r\n"
            "12.345.678/0001-95;\"fin@empresa.com.br, dir@empresa.com.br\"\r\n"
            "111.222.333-44;jo\xE3o@exemplo.com\r\n"
            "999;x@exemplo.com\r\n"
            "\r\n"
            "98765432100;b@exemplo.com;c@exemplo.com\r\n";
        AddressImport::Result r = AddressImport::load(book, cp1252, QStringLiteral("cobrancaKV"));
        QCOMPARE(r.same, 0);
        QCOMPARE(r.added, 3);
        QCOMPARE(r.changed, 0);
        QCOMPARE(r.refused.size(), 2);
        QCOMPARE(r.refused.at(0).line, 4);
        QVERIFY(r.refused.at(0).why.contains(QStringLiteral("joão@exemplo.com")));
        QCOMPARE(r.refused.at(1).line, 5);
        QVERIFY(r.refused.at(1).why.contains(QStringLiteral("CPF/CNPJ")));
        QCOMPARE(book.addresses(QStringLiteral("12345678000195")),
                 (QStringList{QStringLiteral("fin@empresa.com.br"),
                              QStringLiteral("dir@empresa.com.br")}));
        QCOMPARE(book.addresses(QStringLiteral("98765432100")).size(), 2);
        // The bank file's CPF padded to 14 digits finds the spreadsheet's 11.
        QCOMPARE(book.addresses(QStringLiteral("00098765432100")).size(), 2);
        QCOMPARE(book.addresses(QStringLiteral("00098765432101")).size(), 0);

        // UTF-8 with a byte-order mark; one changed, one the same.
        const QByteArray utf8 = "\xEF\xBB\xBF"
                                "cpf_cnpj;email\n"
                                "12345678909;ana.nova@exemplo.com.br\n"
                                "987.654.321-00;b@exemplo.com;c@exemplo.com\n";
        r = AddressImport::load(book, utf8, QStringLiteral("cobrancaKV"));
        QCOMPARE(r.added, 0);
        QCOMPARE(r.changed, 1);
        QCOMPARE(r.same, 1);
        QVERIFY(r.refused.isEmpty());
        QCOMPARE(book.all().size(), 3);
        QCOMPARE(book.search(QStringLiteral("456.789")).size(), 1);
        QCOMPARE(book.search(QStringLiteral("EMPRESA")).size(), 1);
        QCOMPARE(book.put(QStringLiteral("12345678909"), {}), AddressBook::Change::Removed);
        QCOMPARE(book.all().size(), 2);
        QVERIFY_THROWS_EXCEPTION(KvError,
                                 book.put(QStringLiteral("12345678909"), {QStringLiteral("x@y")}));
    }
};

QTEST_GUILESS_MAIN(TestEmailCore)
#include "tst_emailcore.moc"

#include "AddressBook.h"
#include "BlqTitles.h"
#include "Database.h"
#include "EngineProgramDir.h"
#include "ScriptedDialogs.h"
#include "SmtpTestServer.h"
#include "uEnderecosEmail.h"
#include "uEnviarEmail.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

// The two windows of the mailing, offscreen, over a real mail server.
namespace {
// What a user sees, kept beside the build for a look.
void snapshot(QWidget& w, const QString& name)
{
    const QString dir = QDir(TestSupport::binaryDir()).filePath(QStringLiteral("screenshots"));
    QDir().mkpath(dir);
    w.grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}
} // namespace

class TestUEmail : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { Database::closeAll(); }

    void sendWindowShowsPlanProgressAndOutcome()
    {
        KV_NEED_SMTP();
        TempProgramDir dir;
        ScriptedDialogs dialogs;
        KV_SMTP_SERVER(server, {{QStringLiteral("b@exemplo.com.br")}, -1});
        QVERIFY(TestSupport::writeFile(dir.file(QStringLiteral("kvcob.conf")),
                                       server.confSection(dir.file(QStringLiteral("senha")))));
        QList<BlqTitle> rows;
        for (int i = 1; i <= 4; ++i) {
            BlqTitle t = BlqTitles::numbered(i);
            t.cpfCgcSac = QString::number(20000000000LL + i);
            rows << t;
        }
        BlqTitles::fill(0);
        BlqTitles::store(rows);
        AddressBook book;
        book.put(rows[0].cpfCgcSac, {QStringLiteral("a@exemplo.com.br")});
        book.put(rows[1].cpfCgcSac, {QStringLiteral("b@exemplo.com.br")});
        book.put(rows[2].cpfCgcSac, {QStringLiteral("c@exemplo.com.br")});

        TFrmEnviarEmail w;
        w.show();
        QVERIFY2(w.lblResumo->text().startsWith(
                     QStringLiteral("4 título(s) válido(s): 3 mensagem(ns) a enviar, 0 já "
                                    "enviada(s) antes, 1 título(s) sem endereço")),
                 qPrintable(w.lblResumo->text()));
        QCOMPARE(w.lstSemEndereco->count(), 1);
        QVERIFY(w.lstSemEndereco->item(0)->text().contains(rows[3].nosNum.trimmed()));
        snapshot(w, QStringLiteral("enviar-email-antes"));

        QTest::mouseClick(w.btnEnviar, Qt::LeftButton);
        QCOMPARE(w.tblResultado->rowCount(), 3);
        QCOMPARE(w.barProgresso->value(), 3);
        QCOMPARE(w.tblResultado->item(0, 3)->text(), QStringLiteral("enviado"));
        QVERIFY(w.tblResultado->item(1, 3)->text().startsWith(QStringLiteral("550")));
        QCOMPARE(server.received().size(), 2);
        QVERIFY(dialogs.lastText(QStringLiteral("message"))
                    .contains(QStringLiteral("2 mensagem(ns) enviada(s)")));
        // Afterwards the plan counts what went.
        QVERIFY(w.lblResumo->text().contains(QStringLiteral("1 mensagem(ns) a enviar, 2 já")));
        snapshot(w, QStringLiteral("enviar-email-depois"));

        // The server test: one message to the sender.
        QTest::mouseClick(w.btnTestar, Qt::LeftButton);
        QVERIFY2(dialogs.lastText(QStringLiteral("message")).contains(QStringLiteral("aceitou")),
                 qPrintable(dialogs.lastText(QStringLiteral("message"))));
        QCOMPARE(server.received().size(), 3);
        QCOMPARE(server.received().last().recipients,
                 QStringList{QStringLiteral("cobranca@escritorio.com.br")});

        // Only the titles given (the titles window's action).
        TFrmEnviarEmail some({rows[2].seq > 0 ? rows[2].seq : 3});
        QVERIFY2(some.lblResumo->text().startsWith(QStringLiteral("1 título(s) válido(s)")),
                 qPrintable(some.lblResumo->text()));
    }

    void addressWindowSearchesAndEdits()
    {
        TempProgramDir dir;
        ScriptedDialogs dialogs;
        AddressBook book;
        book.put(QStringLiteral("12345678909"), {QStringLiteral("ana@exemplo.com.br")});
        book.put(QStringLiteral("12345678000195"), {QStringLiteral("fin@empresa.com.br")});
        TFrmEnderecosEmail w;
        w.show();
        QCOMPARE(w.tblEnderecos->rowCount(), 2);
        w.edtBusca->setText(QStringLiteral("EMPRESA"));
        QCOMPARE(w.tblEnderecos->rowCount(), 1);
        w.tblEnderecos->item(0, 1)->setText(
            QStringLiteral("fin@empresa.com.br; dir@empresa.com.br"));
        QTest::mouseClick(w.btnGravar, Qt::LeftButton);
        QCOMPARE(book.addresses(QStringLiteral("12345678000195")).size(), 2);

        w.edtBusca->clear();
        QTest::mouseClick(w.btnIncluir, Qt::LeftButton);
        const int row = w.tblEnderecos->rowCount() - 1;
        w.tblEnderecos->item(row, 0)->setText(QStringLiteral("987.654.321-00"));
        w.tblEnderecos->item(row, 1)->setText(QStringLiteral("sem-arroba"));
        QTest::mouseClick(w.btnGravar, Qt::LeftButton);
        QVERIFY(dialogs.lastText(QStringLiteral("error")).contains(QStringLiteral("sem-arroba")));
        QVERIFY(book.addresses(QStringLiteral("98765432100")).isEmpty());
        w.tblEnderecos->item(row, 1)->setText(QStringLiteral("novo@exemplo.com.br"));
        QTest::mouseClick(w.btnGravar, Qt::LeftButton);
        QCOMPARE(book.addresses(QStringLiteral("98765432100")),
                 QStringList{QStringLiteral("novo@exemplo.com.br")});
        QCOMPARE(w.tblEnderecos->rowCount(), 3);
        snapshot(w, QStringLiteral("enderecos-email"));
    }
};

QTEST_MAIN(TestUEmail)
#include "tst_uemail.moc"

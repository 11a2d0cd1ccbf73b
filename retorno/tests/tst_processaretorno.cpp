// The window "Processar Retorno" and the menu items of the return file, as a clerk uses
// them: a real file processed, the same file again (asked, then declined or accepted), the
// report buttons opening their previews; screenshots of each.
#include "Database.h"
#include "EngineProgramDir.h"
#include "RetTestSupport.h"
#include "ScriptedDialogs.h"
#include "WidgetTesting.h"
#include "uProcessaRetorno.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace RetTestSupport;
using WidgetTesting::shoot;

namespace {
// Closes the preview window that a report button opens, once it is up.
void closePreviewWhenShown(QString* title)
{
    QTimer::singleShot(200, [title] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->objectName() == QStringLiteral("frmQvPreview")) {
                *title = w->windowTitle();
                shoot(w, QStringLiteral("retorno-preview"));
                w->close();
                return;
            }
        }
        closePreviewWhenShown(title);
    });
}
} // namespace

class TstProcessaRetorno : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { Database::closeAll(); }

    void processesAskesAgainAndOpensTheReports()
    {
        TempProgramDir dir;
        ScriptedDialogs dialogs;
        const QList<Stored> t = importTitles({QStringLiteral("CEDENTE DA PRAÇA")}, 3);
        RetFileWriter w(RetFile::Format::Cnab240, QDate(2026, 11, 20));
        w.add(occurrenceOf(t[0], QStringLiteral("06"), QDate(2026, 11, 18)))
            .add(occurrenceOf(t[1], QStringLiteral("02"), QDate(2026, 11, 18)));
        const QString path = writeFile(dir.file(QStringLiteral("RET1120.RET")), w.bytes());

        TfrmProcessaRetorno form;
        QVERIFY(WidgetTesting::shown(form));
        dialogs.fileNames << path;
        form.btnProcessar->click();
        QCOMPARE(dialogs.asked.size(), 1);
        QCOMPARE(dialogs.asked.first().kind, QStringLiteral("openFile"));
        QVERIFY(dialogs.asked.first().text.contains(QStringLiteral("*.ret *.RET *.txt")));
        QVERIFY(form.memResumo->toPlainText().contains(QStringLiteral("Liquidações: 1")));
        QCOMPARE(form.pbProgresso->value(), form.pbProgresso->maximum());
        QVERIFY(form.btnOcorrencias->isEnabled());
        QVERIFY(form.btnLiquidados->isEnabled());
        shoot(&form, QStringLiteral("retorno-janela"));

        // Again: the question, declined, stores nothing; accepted, replaces.
        dialogs.clear();
        dialogs.answers << Dialogs::Answer::No;
        form.processFile(path);
        QVERIFY(dialogs.lastText(QStringLiteral("question"))
                    .startsWith(QStringLiteral("Este arquivo de retorno já foi processado em")));
        QCOMPARE(form.memResumo->toPlainText(), QStringLiteral("Nada foi gravado."));
        QVERIFY(!form.btnOcorrencias->isEnabled());
        dialogs.answers << Dialogs::Answer::Yes;
        form.processFile(path);
        QVERIFY(form.memResumo->toPlainText().contains(QStringLiteral("reprocessado")));
        QCOMPARE(count(QStringLiteral("select count(*) from Ret")), 2);

        QString title;
        closePreviewWhenShown(&title);
        form.btnOcorrencias->click();
        QVERIFY(!title.isEmpty());
        title.clear();
        closePreviewWhenShown(&title);
        form.btnLiquidados->click();
        QVERIFY(!title.isEmpty());
    }

    void aBadFileSaysWhyAndStoresNothing()
    {
        TempProgramDir dir;
        ScriptedDialogs dialogs;
        const QString path = writeFile(dir.file(QStringLiteral("x.txt")), QByteArray(240, '9'));
        TfrmProcessaRetorno form;
        dialogs.fileNames << path;
        form.btnProcessar->click();
        QCOMPARE(dialogs.lastText(QStringLiteral("error")).section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("O arquivo escolhido não parece um arquivo de retorno do banco "
                                "842."));
        QCOMPARE(form.memResumo->toPlainText(), QStringLiteral("Nada foi gravado."));
        QVERIFY(!form.btnLiquidados->isEnabled());
    }
};

QTEST_MAIN(TstProcessaRetorno)
#include "tst_processaretorno.moc"

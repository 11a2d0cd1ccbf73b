#include "BlqTitles.h"
#include "ContinuoFixtures.h"
#include "ContinuoRowsModel.h"
#include "Database.h"
#include "DotMatrixPage.h"
#include "FormModel.h"
#include "IniFile.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "TestSupport.h"
#include "WidgetTesting.h"
#include "uPreparaPreImpresso.h"
#include "uPrincipal.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QtTest>

using namespace ContinuoFixtures;
using Answer = Dialogs::Answer;

namespace {
QByteArray bloqueto(const BlqTitle& row, FormModel model)
{
    return DotMatrixPage::bytes(DotMatrixPage::layoutLines(row, model));
}

// The printer port of the test, a file in its program directory.
QString usePortFile(const TempProgramDir& dir)
{
    const QString out = dir.file(QStringLiteral("lpt1.prn"));
    configurePort(out);
    return out;
}

QString savedModel()
{
    return KvSettings::file().readString(QStringLiteral("Formulario"), QStringLiteral("Padrão"));
}

// The port file as the printer and `titles` numbered titles stored; the port file's path.
QString usePortFileWith(const TempProgramDir& dir, int titles)
{
    const QString out = usePortFile(dir);
    BlqTitles::store(numbered(titles));
    return out;
}
} // namespace

class TstPreparaPreImpresso : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
private Q_SLOTS:
    void cleanup() { m_env.cleanup(); }

    void opensOnTheSavedModel_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<bool>("small");
        QTest::newRow("small caption") << FormModels::caption(FormModel::Small) << true;
        QTest::newRow("large caption") << FormModels::caption(FormModel::Large) << false;
        QTest::newRow("other text") << QStringLiteral("Pequeno") << false;
        QTest::newRow("empty value") << QString() << false;
        QTest::newRow("no file") << QStringLiteral("<none>") << false;
    }
    void opensOnTheSavedModel()
    {
        QFETCH(QString, saved);
        QFETCH(bool, small);
        TempProgramDir dir;
        ScriptedDialogs dlg;
        if (saved != QStringLiteral("<none>"))
            KvSettings::file().writeString(QStringLiteral("Formulario"), QStringLiteral("Padrão"),
                                           saved);
        BlqTitles::store({ofAgency(QStringLiteral("0200"), QStringLiteral("B1")),
                          ofAgency(QStringLiteral("0123"), QStringLiteral("A1")),
                          ofAgency(QStringLiteral("0123"), QStringLiteral("A2"))});
        TFrmPreparaPreImpresso w;
        QVERIFY(WidgetTesting::shown(w));
        QCOMPARE(w.windowTitle(),
                 QStringLiteral("Preparando Impressão de Bloquetos Pré-Impressos"));
        QCOMPARE(w.RdbMod80074->isChecked(), small);
        QCOMPARE(w.RdbMod80071->isChecked(), !small);
        QVERIFY(dlg.asked.isEmpty()); // no model message on opening
        QCOMPARE(w.cmbContrato->count(), 2);
        QCOMPARE(w.cmbContrato->currentText(),
                 QStringLiteral("0123        567890123    CEDENTE 0123"));
        QCOMPARE(w.QryMovimento->rowCount(), 2);
        QCOMPARE(w.DBGrid1->currentIndex().row(), 0);
        QVERIFY(w.btnImprimir->isEnabled());
        QVERIFY(!w.QtdSel->isEnabled());
        QVERIFY(w.QtdSel->text().isEmpty());
    }

    // "Nº Bloq." was cut to "º Bloq", only three rows showed and the counters were pale.
    void theGridAndTheCountersReadWell()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        BlqTitles::store(numbered(8));
        TFrmPreparaPreImpresso w;
        QVERIFY(WidgetTesting::shown(w));
        const QHeaderView* header = w.DBGrid1->horizontalHeader();
        const QFontMetrics fm(header->font());
        for (int column = 0; column < w.QryMovimento->columnCount(); ++column) {
            const QString title = w.QryMovimento->headerData(column, Qt::Horizontal).toString();
            QVERIFY2(header->sectionSize(column) >= fm.horizontalAdvance(title) + 8,
                     qPrintable(title));
        }
        QVERIFY(w.DBGrid1->viewport()->height() >= 5 * w.DBGrid1->rowHeight(0));
        for (const QLineEdit* counter : {w.QtdSel, w.QtdImp})
            QCOMPARE(counter->palette().color(QPalette::Disabled, QPalette::Text),
                     counter->palette().color(QPalette::Active, QPalette::Text));
    }

    void modelButtonsTellButDoNotSave()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        TFrmPreparaPreImpresso w;
        QVERIFY(WidgetTesting::shown(w));
        QTest::mouseClick(w.RdbMod80074, Qt::LeftButton);
        QVERIFY(w.RdbMod80074->isChecked());
        QTest::mouseClick(w.RdbMod80071, Qt::LeftButton);
        QVERIFY(w.RdbMod80071->isChecked());
        QCOMPARE(dlg.texts(QStringLiteral("message")),
                 (QStringList{QStringLiteral("Aplicativo Setado para usar bloquetos pequenos"),
                              QStringLiteral("Aplicativo Setado para usar bloquetos grandes")}));
        QVERIFY(!QFile::exists(KvSettings::path()));
    }

    void contractBoxDrivesTheSelection()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        BlqTitles::store({ofAgency(QStringLiteral("0200"), QStringLiteral("B1")),
                          ofAgency(QStringLiteral("0123"), QStringLiteral("A1")),
                          ofAgency(QStringLiteral("0300"), QStringLiteral("C1"), false)});
        TFrmPreparaPreImpresso w;
        QVERIFY(WidgetTesting::shown(w));
        QCOMPARE(w.cmbContrato->count(), 3); // the all-rejected contract is listed

        w.cmbContrato->setCurrentIndex(2);
        QCOMPARE(w.QryMovimento->rowCount(), 0);
        QVERIFY(!w.btnImprimir->isEnabled());

        w.cmbContrato->clearEditText();
        QTest::keyClicks(w.cmbContrato, QStringLiteral("Todos"));
        QCOMPARE(w.QryMovimento->rowCount(), 2);
        QVERIFY(w.btnImprimir->isEnabled());
        QCOMPARE(w.DBGrid1->currentIndex().row(), 0);

        QTest::keyClick(w.cmbContrato, Qt::Key_Backspace);
        QCOMPARE(w.QryMovimento->rowCount(), 0);
        QVERIFY(!w.btnImprimir->isEnabled());
        QVERIFY(dlg.asked.isEmpty());
    }

    void alignmentNoTwiceThenYes()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        const QString out = usePortFileWith(dir, 2);
        TFrmPreparaPreImpresso w;
        QVERIFY(WidgetTesting::shown(w));
        QTest::mouseClick(w.RdbMod80074, Qt::LeftButton);
        dlg.clear();
        dlg.answers = {Answer::No, Answer::No, Answer::Yes};
        QTest::mouseClick(w.btnImprimir, Qt::LeftButton);

        QCOMPARE(savedModel(), FormModels::caption(FormModel::Small));
        QCOMPARE(dlg.texts(QStringLiteral("message")),
                 QStringList{QStringLiteral("Posicione o formulário contínuo e pressione OK")});
        QCOMPARE(dlg.texts(QStringLiteral("question")).size(), 3);
        QCOMPARE(dlg.asked.at(1).caption, QStringLiteral("Confirmação"));
        QCOMPARE(dlg.asked.at(1).text,
                 QStringLiteral("O primeiro bloqueto foi impresso corretamente?"));
        QCOMPARE(w.QtdSel->text(), QStringLiteral("2"));
        QCOMPARE(w.QtdImp->text(), QStringLiteral("4"));
        const QList<BlqTitle>& rows = w.QryMovimento->rows();
        const QByteArray first = bloqueto(rows.at(0), FormModel::Small) + separator();
        QCOMPARE(readFile(out), defaultInit() + first + first + first +
                                    bloqueto(rows.at(1), FormModel::Small) + separator());
        QCOMPARE(w.DBGrid1->currentIndex().row(), 1);
        QVERIFY(w.btnImprimir->isEnabled());
        QVERIFY(!w.isPrinting());
    }

    void cancelAtTheFirstQuestion()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        const QString out = usePortFileWith(dir, 3);
        TFrmPreparaPreImpresso w;
        dlg.answers = {Answer::Cancel};
        w.btnImprimirClick();
        QCOMPARE(readFile(out),
                 defaultInit() + bloqueto(w.QryMovimento->rows().at(0), FormModel::Large));
        QCOMPARE(w.QtdImp->text(), QStringLiteral("1"));
        QCOMPARE(savedModel(), FormModels::caption(FormModel::Large));
        QCOMPARE(w.DBGrid1->currentIndex().row(), 0);
    }

    void startsOnTheThirdOfFiveRows()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        const QString out = usePortFileWith(dir, 5);
        TFrmPreparaPreImpresso w;
        QVERIFY(WidgetTesting::shown(w));
        w.DBGrid1->setCurrentIndex(w.QryMovimento->index(2, 0));
        dlg.answers = {Answer::Yes};
        QTest::mouseClick(w.btnImprimir, Qt::LeftButton);
        QCOMPARE(w.QtdSel->text(), QStringLiteral("5"));
        QCOMPARE(w.QtdImp->text(), QStringLiteral("3"));
        const QList<BlqTitle>& rows = w.QryMovimento->rows();
        QByteArray expected = defaultInit();
        for (int i = 2; i < 5; ++i)
            expected += bloqueto(rows.at(i), FormModel::Large) + separator();
        QCOMPARE(readFile(out), expected);
        QCOMPARE(w.DBGrid1->currentIndex().row(), 4);
    }

    void commandsAreHeldWhilePrintingAndCancelStopsTheRun_data()
    {
        QTest::addColumn<bool>("byEsc");
        QTest::newRow("cancel button") << false;
        QTest::newRow("Esc key") << true;
    }
    void commandsAreHeldWhilePrintingAndCancelStopsTheRun()
    {
        QFETCH(bool, byEsc);
        TempProgramDir dir;
        ScriptedDialogs dlg;
        const QString out = usePortFileWith(dir, 3);
        TFrmPreparaPreImpresso w;
        QVERIFY(WidgetTesting::shown(w));
        QStringList during;
        bool closed = true;
        QString status;
        // Runs at the first chance the run gives the window to handle its events.
        QTimer::singleShot(0, &w, [&] {
            if (w.btnImprimir->isEnabled())
                during << QStringLiteral("imprimir");
            if (w.cmbContrato->isEnabled())
                during << QStringLiteral("contrato");
            if (w.btnFechar->isEnabled())
                during << QStringLiteral("fechar");
            closed = w.close();
            if (byEsc)
                QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w,
                                Qt::Key_Escape);
            else
                QTest::mouseClick(w.BtnCancelaImpressao, Qt::LeftButton);
            status = w.statusText();
        });
        dlg.answers = {Answer::Yes};
        w.activateWindow();
        QTest::mouseClick(w.btnImprimir, Qt::LeftButton);

        QVERIFY(during.isEmpty());
        QVERIFY(!closed);
        QVERIFY(w.isVisible());
        QCOMPARE(status, QStringLiteral("Cancelando impressão. Aguarde..."));
        // the bloqueto under way and its separator finish, then the run stops
        QCOMPARE(readFile(out), defaultInit() +
                                    bloqueto(w.QryMovimento->rows().at(0), FormModel::Large) +
                                    separator());
        QCOMPARE(w.QtdImp->text(), QStringLiteral("1"));
        QCOMPARE(w.statusText(), QStringLiteral(" "));
        QVERIFY(!w.cancelPending());
        QVERIFY(w.btnImprimir->isEnabled());
        QVERIFY(w.cmbContrato->isEnabled());
        QVERIFY(w.btnFechar->isEnabled());
        QCOMPARE(w.DBGrid1->currentIndex().row(), 1);
    }

    // A cancel request with no pass left to stop used to stay pending: the next
    // "&Imprimir" then sent the initialisation bytes and nothing else, and said nothing.
    void strayCancelNoLongerSwallowsTheNextRun_data()
    {
        QTest::addColumn<QString>("when");
        QTest::newRow("button while idle") << QStringLiteral("idle button");
        QTest::newRow("Esc on Imprimir while idle") << QStringLiteral("idle esc");
        QTest::newRow("during a run ended by Cancela") << QStringLiteral("run");
    }
    void strayCancelNoLongerSwallowsTheNextRun()
    {
        QFETCH(QString, when);
        TempProgramDir dir;
        ScriptedDialogs dlg;
        const QString out = usePortFileWith(dir, 2);
        TFrmPreparaPreImpresso w;
        QVERIFY(WidgetTesting::shown(w));
        QByteArray before;
        if (when == QStringLiteral("idle button")) {
            QTest::mouseClick(w.BtnCancelaImpressao, Qt::LeftButton);
        } else if (when == QStringLiteral("idle esc")) {
            QTest::keyClick(w.btnImprimir, Qt::Key_A);
            QTest::keyClick(w.btnImprimir, Qt::Key_Escape);
        } else {
            QString status;
            QTimer::singleShot(0, &w, [&] {
                QTest::mouseClick(w.BtnCancelaImpressao, Qt::LeftButton);
                status = w.statusText();
            });
            dlg.answers = {Answer::Cancel}; // the run ends at the question, before the request
            QTest::mouseClick(w.btnImprimir, Qt::LeftButton);
            QCOMPARE(status, QStringLiteral("Cancelando impressão. Aguarde..."));
            before = defaultInit() + bloqueto(w.QryMovimento->rows().at(0), FormModel::Large);
            QCOMPARE(readFile(out), before);
        }
        QVERIFY(!w.cancelPending());
        QVERIFY(w.statusText() != QStringLiteral("Cancelando impressão. Aguarde..."));

        dlg.clear();
        dlg.answers = {Answer::Yes};
        w.DBGrid1->setCurrentIndex(w.QryMovimento->index(0, 0));
        QTest::mouseClick(w.btnImprimir, Qt::LeftButton);
        const QList<BlqTitle>& rows = w.QryMovimento->rows();
        QCOMPARE(readFile(out), defaultInit() + bloqueto(rows.at(0), FormModel::Large) +
                                    separator() + bloqueto(rows.at(1), FormModel::Large) +
                                    separator());
        QCOMPARE(w.QtdImp->text(), QStringLiteral("2"));
        QCOMPARE(dlg.texts(QStringLiteral("question")).size(), 1);
        QVERIFY(!w.cancelPending());
    }

    void failingPortShowsItsErrorAndTheWindowStays_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("advice"); // %1: the target, %2: kvcob.conf
        QTest::newRow("folder missing")
            << QStringLiteral("sem-pasta/lpt1.prn") << QStringLiteral("File not found")
            << QStringLiteral("A porta LPT1 aponta para %1, que não existe; ligue a impressora "
                              "ou ajuste [Portas] em kvcob.conf (%2).");
        QTest::newRow("device full mid-run")
            << QStringLiteral("/dev/full") << QStringLiteral("Disk full")
            << QStringLiteral("A impressora da porta LPT1 (%1) não aceitou os dados; verifique "
                              "se está ligada, com papel e sem erro, e imprima de novo.");
    }
    void failingPortShowsItsErrorAndTheWindowStays()
    {
        QFETCH(QString, target);
        QFETCH(QString, error);
        QFETCH(QString, advice);
        TempProgramDir dir;
        ScriptedDialogs dlg;
        const QString port = target.startsWith(QLatin1Char('/')) ? target : dir.file(target);
        configurePort(port);
        BlqTitles::store(numbered(2));
        TFrmPreparaPreImpresso w;
        QVERIFY(WidgetTesting::shown(w));
        dlg.answers = {Answer::Yes};
        QTest::mouseClick(w.btnImprimir, Qt::LeftButton);
        // The system's terse text, then in Portuguese the port, where it points and what
        // to change: "File not found" alone said nothing of LPT1 or kvcob.conf.
        QCOMPARE(dlg.texts(QStringLiteral("error")),
                 QStringList{error + QLatin1Char('\n') +
                             advice.arg(port, dir.file(QStringLiteral("kvcob.conf")))});
        QVERIFY(w.isVisible());
        QVERIFY(!w.isPrinting());
        QVERIFY(w.btnImprimir->isEnabled());
        QVERIFY(w.btnFechar->isEnabled());
        QCOMPARE(w.QryMovimento->rowCount(), 2); // the table is only read
        QVERIFY(w.close());
    }

    void settingsThatCannotBeWrittenStopBeforeAnything()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        const QString out = usePortFileWith(dir, 1);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("KVCob002.ini"))); // not a writable file
        TFrmPreparaPreImpresso w;
        w.btnImprimirClick();
        QCOMPARE(dlg.texts(QStringLiteral("error")),
                 QStringList{QStringLiteral("Unable to write to %1\nNão foi possível gravar o "
                                            "arquivo %1: há uma pasta com esse nome; remova ou "
                                            "renomeie a pasta.")
                                 .arg(KvSettings::path())});
        QVERIFY(dlg.texts(QStringLiteral("message")).isEmpty());
        QCOMPARE(readFile(out), QByteArray());
        QVERIFY(!QFile::exists(dir.file(QStringLiteral("Matricial.ini"))));
    }

    void codesThatAreNotNumbersAreReportedOnOpening()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        BlqTitles::store({ofAgency(QStringLiteral("12X4"), QStringLiteral("X1")),
                          ofAgency(QStringLiteral("0200"), QStringLiteral("B1"))});
        TFrmPreparaPreImpresso w;
        QCOMPARE(dlg.texts(QStringLiteral("error")),
                 QStringList{QStringLiteral("'12X4' is not a valid integer value")});
        QCOMPARE(w.cmbContrato->count(), 1);
        QCOMPARE(w.QryMovimento->rowCount(), 1);
        QVERIFY(w.btnImprimir->isEnabled());
    }

    void fecharClosesTheWindow()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        TFrmPreparaPreImpresso w;
        QVERIFY(WidgetTesting::shown(w));
        QVERIFY(!w.btnImprimir->isEnabled()); // empty table
        QTest::mouseClick(w.btnFechar, Qt::LeftButton);
        QVERIFY(!w.isVisible());
    }

    void opensFromTheMainWindowAndWritesItsStatusPanel()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        BlqTitles::store(numbered(1));
        TFrmPrincipal frame;
        frame.resize(1000, 800);
        QVERIFY(WidgetTesting::shown(frame));
        QVERIFY(frame.mnuContinuo->isEnabled());
        frame.mnuContinuo->trigger();
        frame.mnuContinuo->trigger(); // a new window each time
        const QList<QMdiSubWindow*> subs = frame.mdiArea()->subWindowList();
        QCOMPARE(subs.size(), 2);
        auto* w = qobject_cast<TFrmPreparaPreImpresso*>(subs.first()->widget());
        QVERIFY(w);
        // its own size, unless the fonts of the machine need more room
        QCOMPARE(w->size(), QSize(448, 404).expandedTo(w->minimumSizeHint()));
        const QRect area = frame.mdiArea()->viewport()->rect();
        QVERIFY(qAbs(subs.first()->geometry().center().x() - area.center().x()) <= 2);
        auto* panel = frame.findChild<QLabel*>(QStringLiteral("pnlStatus1"));
        QVERIFY(panel);
        // A cancel means something only while a run prints.
        usePortFile(dir);
        QString during;
        QTimer::singleShot(0, w, [&] {
            QTest::mouseClick(w->BtnCancelaImpressao, Qt::LeftButton);
            during = panel->text();
        });
        dlg.answers = {Answer::Yes};
        QTest::mouseClick(w->btnImprimir, Qt::LeftButton);
        QCOMPARE(during, QStringLiteral("Cancelando impressão. Aguarde..."));
        QCOMPARE(panel->text(), QStringLiteral(" ")); // the run ended: nothing left to cancel
        subs.first()->close();
        QTRY_COMPARE(frame.mdiArea()->subWindowList().size(), 1);
        QVERIFY(dlg.texts(QStringLiteral("error")).isEmpty());
    }
};

QTEST_MAIN(TstPreparaPreImpresso)
#include "tst_preparapreimpresso.moc"

// The titles window under the offscreen platform, driven by keys as a clerk uses it: the
// menu item, the search box with the focus, Enter to search, arrows, Enter for the preview
// of one title, Ctrl+C for its typeable line; previews and a PDF of chosen titles read
// back, with the updated value only when the option is on.

#include "BarcodeScan.h"
#include "BloquetoCode.h"
#include "BlqTitles.h"
#include "BlqUpgrade.h"
#include "Database.h"
#include "PageImages.h"
#include "PageText.h"
#include "Regional.h"
#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "TitleListModel.h"
#include "TitleRows.h"
#include "UpdatedValue.h"
#include "WidgetTesting.h"
#include "uConsultaTitulos.h"
#include "uEnviarEmail.h"
#include "uPrincipal.h"
#include "uQvPreview.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

namespace {
// Six titles; the third's payer is accented and the fifth is rejected.
QList<BlqTitle> storeTitles()
{
    QList<BlqTitle> rows = TitleRows::numbered(6);
    rows[2].sacNom = QStringLiteral("JOSÉ PEÇANHA");
    rows[3].sacNom = QStringLiteral("MARIA JOSEFA");
    rows[4].sacNom = QStringLiteral("JOSE REJEITADO");
    rows[4].regVal = false;
    rows[4].msgErr = QStringLiteral("CEP INVÁLIDO");
    BlqTitles::store(rows);
    return rows;
}

QString typeable(const BlqTitle& t)
{
    return TitleRows::codeOf(t).typeableLine();
}

// The texts of every page of the next preview, which it closes once finished.
struct Seen {
    QList<QStringList> pages;
};
void closePreviewWhenFinished(Seen* seen)
{
    WidgetTesting::whenReady(
        [] {
            return frmQvPreview && frmQvPreview->pageStore() &&
                   frmQvPreview->pageStore()->isFinished();
        },
        [=] {
            TfrmQvPreview* w = frmQvPreview;
            for (int p = 0; p < w->pageStore()->pageCount(); ++p)
                seen->pages << PageText::texts(*w->pageStore(), p);
            w->close();
        });
}

bool pageHas(const QStringList& texts, const QString& text)
{
    for (const QString& t : texts) {
        if (t.contains(text))
            return true;
    }
    return false;
}

void search(TfrmConsultaTitulos& w, const QString& text)
{
    w.edtBusca->clear();
    // Typed as keys where the test's key table has them; accented letters are inserted.
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii)
        QTest::keyClicks(w.edtBusca, text);
    else
        w.edtBusca->insert(text);
    QTest::keyClick(w.edtBusca, Qt::Key_Return);
}
} // namespace

class TstConsultaTitulos : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Regional::setSeparators(QLatin1Char(','), QLatin1Char('.')); }
    void cleanup()
    {
        WidgetTesting::deleteTopLevels<TfrmQvPreview>();
        Database::closeAll();
    }

    void opensFromTheFileMenuWithTheFocusInTheSearchBox()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        storeTitles();
        TFrmPrincipal main;
        main.resize(1200, 800);
        QVERIFY(WidgetTesting::shown(main));
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        auto* arquivo = main.findChild<QMenu*>(QStringLiteral("Arquivo1"));
        // After "Processar &Retorno", which follows "&Carregar Arquivo".
        QCOMPARE(arquivo->actions().at(1), main.ProcessarRetorno1);
        QCOMPARE(arquivo->actions().at(2), main.ConsultarTitulos1);
        QCOMPARE(main.ConsultarTitulos1->text(), QStringLiteral("Consultar &Títulos"));
        QTest::keyClick(&main, Qt::Key_A, Qt::AltModifier);
        QTRY_COMPARE(QApplication::activePopupWidget(), arquivo);
        QTest::keyClick(arquivo, Qt::Key_T);
        QTRY_COMPARE(main.mdiArea()->subWindowList().size(), 1);
        auto* w = qobject_cast<TfrmConsultaTitulos*>(
            main.mdiArea()->subWindowList().constFirst()->widget());
        QVERIFY(w);
        QTRY_COMPARE(QApplication::focusWidget(), w->edtBusca);
        QCOMPARE(w->lblEncontrados->text(), QStringLiteral("6 títulos encontrados"));
        QVERIFY(dlg.asked.isEmpty());

        // "Enviar por e-mail" opens the sending window on the chosen titles.
        w->grdTitulos->setFocus();
        w->grdTitulos->selectRow(2);
        w->btnEnviarEmail->click();
        QTRY_COMPARE(main.mdiArea()->subWindowList().size(), 2);
        QVERIFY(
            qobject_cast<TFrmEnviarEmail*>(main.mdiArea()->subWindowList().constLast()->widget()));
    }

    void findsCopiesAndPreviewsByKeys()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        const QList<BlqTitle> rows = storeTitles();
        TfrmConsultaTitulos w;
        QVERIFY(WidgetTesting::shown(w));
        search(w, QStringLiteral("jose"));
        QCOMPARE(w.lblEncontrados->text(), QStringLiteral("3 títulos encontrados"));
        QCOMPARE(w.edtLinhaDigitavel->text(), typeable(rows.at(2)));
        QVERIFY(w.lblValorAtualizado->text().startsWith(QStringLiteral("Valor atualizado até ")));

        // Into the grid, down to the second title, its line to the clipboard.
        QTest::keyClick(w.edtBusca, Qt::Key_Tab);
        w.grdTitulos->setFocus();
        QTest::keyClick(w.grdTitulos, Qt::Key_Down);
        QCOMPARE(w.grdTitulos->currentIndex().row(), 1);
        QCOMPARE(w.edtLinhaDigitavel->text(), typeable(rows.at(3)));
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(w.grdTitulos, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), typeable(rows.at(3)));

        // The rejected one has no slip: said so, and nothing to copy.
        QTest::keyClick(w.grdTitulos, Qt::Key_Down);
        QVERIFY(w.edtLinhaDigitavel->text().isEmpty());
        QVERIFY(!w.btnCopiarLinha->isEnabled());
        QCOMPARE(w.lblValorAtualizado->text(),
                 QStringLiteral("Título rejeitado na carga: CEP INVÁLIDO"));

        // Enter on a row previews that title alone.
        QTest::keyClick(w.grdTitulos, Qt::Key_Up);
        Seen seen;
        closePreviewWhenFinished(&seen);
        QTest::keyClick(w.grdTitulos, Qt::Key_Return);
        QCOMPARE(seen.pages.size(), 1);
        QVERIFY(pageHas(seen.pages.at(0), QStringLiteral("MARIA JOSEFA")));
        QVERIFY(pageHas(seen.pages.at(0), typeable(rows.at(3))));
        QVERIFY(!pageHas(seen.pages.at(0), QStringLiteral("Valor atualizado")));
    }

    void previewsAndExportsTheChosenTitlesWithTheUpdatedValueWhenAsked()
    {
        if (!BarcodeScan::available() || !TestSupport::haveProgram(QStringLiteral("pdftoppm")) ||
            !TestSupport::haveProgram(QStringLiteral("pdftotext")))
            QSKIP("zbarimg, pdftoppm or pdftotext is not installed");
        TempProgramDir dir;
        ScriptedDialogs dlg;
        const QList<BlqTitle> rows = storeTitles();
        TfrmConsultaTitulos w;
        QVERIFY(WidgetTesting::shown(w));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // Three titles, in the order of the payer's name, one rejected among them.
        w.cmbValidade->setCurrentIndex(0);
        search(w, QString());
        w.grdTitulos->horizontalHeader()->setSortIndicator(TitleListModel::SacNom,
                                                           Qt::DescendingOrder);
        QCOMPARE(w.model()->rowAt(0)->seq, 6); // "PAGADOR NUMERO 6 …" first
        w.grdTitulos->clearSelection();
        QList<BlqTitle> chosen;
        for (int r = 0; r < w.model()->rowCount(); ++r) {
            const TitleSearch::Row* row = w.model()->rowAt(r);
            if (row->seq == 3 || row->seq == 4 || row->seq == 5 || row->seq == 6) {
                w.grdTitulos->selectionModel()->select(w.model()->index(r, 0),
                                                       QItemSelectionModel::Select |
                                                           QItemSelectionModel::Rows);
                if (row->seq != 5)
                    chosen << rows.at(row->seq - 1);
            }
        }
        QCOMPARE(chosen.size(), 3);
        w.chkValorAtualizado->setChecked(true);
        Seen seen;
        closePreviewWhenFinished(&seen);
        w.btnVisualizar->setFocus();
        QTest::keyClick(w.btnVisualizar, Qt::Key_Space);
        QVERIFY2(seen.pages.size() == 3,
                 qPrintable(dlg.texts(QStringLiteral("message")).join(QLatin1Char('|'))));
        for (int i = 0; i < 3; ++i) {
            QVERIFY(pageHas(seen.pages.at(i), chosen.at(i).sacNom));
            QVERIFY(pageHas(seen.pages.at(i), UpdatedValue::sentence(UpdatedValue::compute(
                                                  chosen.at(i), QDate::currentDate()))));
        }

        const QString pdf = dir.file(QStringLiteral("escolhidos.pdf"));
        dlg.answers = {Dialogs::Answer::No};
        dlg.fileNames = {pdf};
        w.chkValorAtualizado->setChecked(false);
        w.btnExportarPdf->setFocus();
        QTest::keyClick(w.btnExportarPdf, Qt::Key_Space);
        QCOMPARE(dlg.texts(QStringLiteral("message")).constLast(),
                 QStringLiteral("3 bloqueto(s) gravado(s) em ") + pdf);
        const QStringList pages =
            QString::fromUtf8(TestSupport::run(QStringLiteral("pdftotext"),
                                               {QStringLiteral("-raw"), pdf, QStringLiteral("-")}))
                .split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        QCOMPARE(pages.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(pages.at(i).contains(chosen.at(i).sacNom));
            QVERIFY(pages.at(i).contains(typeable(chosen.at(i))));
            QVERIFY(!pages.at(i).contains(QStringLiteral("Valor atualizado")));
            BloquetoCode::Input in;
            in.ageCod = chosen.at(i).ageCod;
            in.nosNum = chosen.at(i).nosNum;
            in.ctrCod = chosen.at(i).ctrCod;
            in.cents = BlqTitle::cents(chosen.at(i).titVal);
            in.datVen = chosen.at(i).datVen;
            QCOMPARE(BarcodeScan::interleaved25(PageImages::rendered(pdf, i + 1, 300)).trimmed(),
                     BloquetoCode::compose(in).barcode());
        }
    }

    void aDateItCannotReadIsSaidAndNothingChanges()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        storeTitles();
        TfrmConsultaTitulos w;
        QVERIFY(WidgetTesting::shown(w));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClicks(w.edtVencDe, QStringLiteral("31/02/2026"));
        QTest::keyClick(w.edtVencDe, Qt::Key_Return);
        QCOMPARE(dlg.texts(QStringLiteral("message")),
                 QStringList{
                     QStringLiteral("Data inválida: 31/02/2026. Escreva a data como dd/mm/aaaa.")});
        QCOMPARE(w.lblEncontrados->text(), QStringLiteral("6 títulos encontrados"));
        w.edtVencDe->setText(QStringLiteral("14/03/2026"));
        search(w, QStringLiteral("josé"));
        QCOMPARE(w.lblEncontrados->text(), QStringLiteral("2 títulos encontrados"));
        search(w, QStringLiteral("ninguém"));
        QCOMPARE(w.lblEncontrados->text(), QStringLiteral("0 títulos encontrados"));
        QVERIFY(w.edtLinhaDigitavel->text().isEmpty());
        w.btnImprimir->setFocus();
        QTest::keyClick(w.btnImprimir, Qt::Key_Space);
        QCOMPARE(dlg.texts(QStringLiteral("message")).constLast(),
                 QStringLiteral("Escolha um título na lista."));
    }

    void screenshot()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        storeTitles();
        TfrmConsultaTitulos w;
        QVERIFY(WidgetTesting::shown(w));
        search(w, QStringLiteral("jose"));
        const QString out = qEnvironmentVariable("KVCOB_SCREENSHOT_DIR");
        if (!out.isEmpty())
            QVERIFY(w.grab().save(out + QStringLiteral("/consultatitulos.png")));
    }
};

QTEST_MAIN(TstConsultaTitulos)
#include "tst_consultatitulos.moc"

// The small dialogs of the return file's reports, as a clerk meets them: the period of
// "Títulos Liquidados" (the last file's credit dates offered, a period that ends before it
// starts refused, the chosen period's report in the preview) and the choice of a processed
// file for "Ocorrências do Retorno" (the latest first, the chosen file's report shown).
#include "Clock.h"
#include "Database.h"
#include "PageText.h"
#include "RetProcessor.h"
#include "RetTestSupport.h"
#include "ScriptedDialogs.h"
#include "WidgetTesting.h"
#include "uQvPreview.h"
#include "uRelRetorno.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace RetTestSupport;
using WidgetTesting::shoot;

namespace {
// Runs `act` on the modal dialog named `name` once it is up.
void whenDialog(const QString& name, const std::function<void(QDialog*)>& act, int tries = 100)
{
    QTimer::singleShot(50, [=] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (d && d->objectName() == name && d->isVisible()) {
            act(d);
            return;
        }
        if (tries > 0)
            whenDialog(name, act, tries - 1);
    });
}

QPushButton* okOf(QDialog* d)
{
    return d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
}

// What the preview shows once it is up: its first page's texts; then closes it.
void readPreviewWhenShown(QStringList* texts, int tries = 100)
{
    QTimer::singleShot(50, [=] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* preview = qobject_cast<TfrmQvPreview*>(w);
            if (preview && preview->isVisible() && preview->pageStore() &&
                preview->pageStore()->pageCount() > 0) {
                *texts = PageText::texts(*preview->pageStore(), 0);
                shoot(preview, QStringLiteral("relretorno-preview"));
                preview->close();
                return;
            }
        }
        if (tries > 0)
            readPreviewWhenShown(texts, tries - 1);
    });
}

bool anyContains(const QStringList& texts, const QString& part)
{
    for (const QString& t : texts) {
        if (t.contains(part))
            return true;
    }
    return false;
}
} // namespace

class TstRelRetorno : public QObject {
    Q_OBJECT
    QList<Stored> m_titles;

    // Two files over two weeks: the first settles one title, the second settles two others
    // credited on two days and confirms the entry of a fourth.
    void processTwoFiles(const TempProgramDir& dir)
    {
        m_titles = importTitles({QStringLiteral("CEDENTE DA PRAÇA")}, 4);
        RetFileWriter first(RetFile::Format::Cnab400, QDate(2026, 11, 11));
        first.add(occurrenceOf(m_titles[0], QStringLiteral("06"), QDate(2026, 11, 10)));
        RetFileWriter second(RetFile::Format::Cnab240, QDate(2026, 11, 20));
        second.add(occurrenceOf(m_titles[1], QStringLiteral("06"), QDate(2026, 11, 17)))
            .add(occurrenceOf(m_titles[2], QStringLiteral("06"), QDate(2026, 11, 19)))
            .add(occurrenceOf(m_titles[3], QStringLiteral("02"), QDate(2026, 11, 19)));
        Clock::setFixed(QDateTime(QDate(2026, 11, 12), QTime(9, 30)));
        RetProcessor().process(writeFile(dir.file(QStringLiteral("RET1111.RET")), first.bytes()));
        Clock::setFixed(QDateTime(QDate(2026, 11, 21), QTime(14, 5)));
        RetProcessor().process(writeFile(dir.file(QStringLiteral("RET1120.RET")), second.bytes()));
        Clock::setFixed({});
    }

private Q_SLOTS:
    void cleanup()
    {
        Clock::setFixed({});
        Database::closeAll();
    }

    void periodOfferedRefusedWhenReversedAndShown()
    {
        TempProgramDir dir;
        ScriptedDialogs dialogs;
        processTwoFiles(dir);

        QDate offeredFrom, offeredTo;
        bool openAfterRefusal = false;
        QString refusal;
        QStringList page;
        whenDialog(QStringLiteral("dlgPeriodoLiquidados"), [&](QDialog* d) {
            auto* de = d->findChild<QDateEdit*>(QStringLiteral("edtDe"));
            auto* ate = d->findChild<QDateEdit*>(QStringLiteral("edtAte"));
            offeredFrom = de->date();
            offeredTo = ate->date();
            shoot(d, QStringLiteral("liquidados-periodo"));
            de->setDate(QDate(2026, 11, 25));
            okOf(d)->click();
            openAfterRefusal = d->isVisible() && d->result() != QDialog::Accepted;
            refusal = dialogs.lastText(QStringLiteral("message"));
            // Both files' settlements.
            de->setDate(QDate(2026, 11, 1));
            ate->setDate(QDate(2026, 11, 30));
            readPreviewWhenShown(&page);
            okOf(d)->click();
        });
        TfrmRelRetorno::liquidados(nullptr);

        // The credit dates of the last file processed, the day after each payment.
        QCOMPARE(offeredFrom, QDate(2026, 11, 18));
        QCOMPARE(offeredTo, QDate(2026, 11, 20));
        QCOMPARE(refusal, TfrmRelRetorno::badPeriodMessage());
        QVERIFY(openAfterRefusal);
        QVERIFY2(anyContains(page, QStringLiteral("Créditos de 01/11/2026 a 30/11/2026")),
                 qPrintable(page.join(QLatin1Char('|'))));
        for (int i = 0; i < 3; ++i)
            QVERIFY2(anyContains(page, m_titles[i].nos), qPrintable(m_titles[i].nos));
        QVERIFY(!anyContains(page, m_titles[3].nos)); // an entry is no settlement
    }

    void cancelledPeriodOpensNothing()
    {
        TempProgramDir dir;
        ScriptedDialogs dialogs;
        processTwoFiles(dir);
        bool asked = false;
        whenDialog(QStringLiteral("dlgPeriodoLiquidados"), [&](QDialog* d) {
            asked = true;
            d->reject();
        });
        TfrmRelRetorno::liquidados(nullptr);
        QVERIFY(asked);
        QVERIFY(dialogs.asked.isEmpty());
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(!(qobject_cast<TfrmQvPreview*>(w) && w->isVisible()));
    }

    void chosenFileReportIsShown_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("present");
        QTest::addColumn<QString>("absent");
        // The list holds the latest file first.
        QTest::newRow("latest") << 0 << QStringLiteral("RET1120.RET") << QStringLiteral("CNAB 240")
                                << QStringLiteral("CNAB 400");
        QTest::newRow("earlier") << 1 << QStringLiteral("RET1111.RET") << QStringLiteral("CNAB 400")
                                 << QStringLiteral("CNAB 240");
    }
    void chosenFileReportIsShown()
    {
        QFETCH(int, choice);
        QFETCH(QString, file);
        QFETCH(QString, present);
        QFETCH(QString, absent);
        TempProgramDir dir;
        ScriptedDialogs dialogs;
        processTwoFiles(dir);

        QStringList items;
        QStringList page;
        whenDialog(QStringLiteral("dlgArquivoRetorno"), [&](QDialog* d) {
            auto* files = d->findChild<QComboBox*>(QStringLiteral("cbArquivo"));
            for (int i = 0; i < files->count(); ++i)
                items << files->itemText(i);
            shoot(d, QStringLiteral("ocorrencias-arquivo"));
            files->setCurrentIndex(choice);
            readPreviewWhenShown(&page);
            okOf(d)->click();
        });
        TfrmRelRetorno::ocorrencias(nullptr);

        QCOMPARE(items, (QStringList{QStringLiteral("RET1120.RET - processado em 21/11/2026 "
                                                    "14:05:00"),
                                     QStringLiteral("RET1111.RET - processado em 12/11/2026 "
                                                    "09:30:00")}));
        const QString joined = page.join(QLatin1Char('|'));
        QVERIFY2(joined.contains(QStringLiteral("Arquivo ") + file), qPrintable(joined));
        QVERIFY2(joined.contains(present), qPrintable(joined));
        QVERIFY2(!joined.contains(absent), qPrintable(joined));
    }

    void noFileProcessedSaysSo()
    {
        TempProgramDir dir;
        ScriptedDialogs dialogs;
        TfrmRelRetorno::ocorrencias(nullptr);
        QCOMPARE(dialogs.lastText(QStringLiteral("message")),
                 QStringLiteral("Nenhum arquivo de retorno foi processado."));
    }
};

QTEST_MAIN(TstRelRetorno)
#include "tst_relretorno.moc"

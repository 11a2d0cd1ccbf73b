#include "BlqTitles.h"
#include "Clock.h"
#include "Database.h"
#include "IniFile.h"
#include "KvError.h"
#include "ScriptedDialogs.h"
#include "TRpPrinter.h"
#include "TestSupport.h"
#include "uQvPreview.h"
#include "uRelBloqueto.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

namespace {
struct Seen {
    QString caption;
    int pages = -1;
    qint64 firstPageMs = -1;
};

// Watches the preview window from inside the report's preview call: notes when page 1
// shows, and closes the window once every page is there.
void closeWhenFinished(Seen* seen, const QElapsedTimer* clock)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [=] {
        TfrmQvPreview* w = frmQvPreview;
        if (!w || !w->pageStore())
            return;
        if (seen->firstPageMs < 0 && w->pageStore()->pageCount() > 0)
            seen->firstPageMs = clock->elapsed();
        if (!w->pageStore()->isFinished())
            return;
        QCoreApplication::processEvents();
        seen->caption = w->windowTitle();
        seen->pages = w->pageStore()->pageCount();
        w->close();
        poll->deleteLater();
    });
    poll->start();
}
} // namespace

class TstURelBloqueto : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup()
    {
        QList<QPointer<TfrmQvPreview>> previews;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* p = qobject_cast<TfrmQvPreview*>(w))
                previews << p;
        }
        qDeleteAll(previews);
        Database::closeAll();
    }

    void previewShowsThePagesAndReturnsWhenClosed()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        BlqTitles::fill(3);
        TfrmRelBloqueto form;
        QVERIFY(!form.isVisible());
        form.rel().selectValidInFileOrder();
        Seen seen;
        QElapsedTimer clock;
        clock.start();
        closeWhenFinished(&seen, &clock);
        form.preview();
        QCOMPARE(seen.pages, 3);
        QCOMPARE(seen.caption, QStringLiteral("Cobrança KV - Bloqueto - 3 páginas"));
        QVERIFY(dlg.asked.isEmpty());
    }

    void logoErrorLeavesThePreviewCall()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        BlqTitles::fill(2);
        const QString name = BlqTitles::numbered(1).nomCed;
        KvSettings::file().writeString(name, QStringLiteral("Recibo"), QString());
        KvSettings::file().writeString(name, QStringLiteral("Comprovante"),
                                       dir.file(QStringLiteral("nao-existe.bmp")));
        TfrmRelBloqueto form;
        form.rel().selectValidInFileOrder();
        try {
            form.preview();
            QFAIL("no error");
        } catch (const KvError& e) {
            QCOMPARE(e.message(), QStringLiteral("Arquivo de Logomarca não encontrado"));
        }
        QCOMPARE(form.rel().reciboPath(), QString());
        QCOMPARE(form.rel().comprovantePath(), dir.file(QStringLiteral("nao-existe.bmp")));
    }
};

QTEST_MAIN(TstURelBloqueto)
#include "tst_urelbloqueto.moc"

#include "BankFileWriter.h"
#include "BlqUpgrade.h"
#include "Database.h"
#include "ImportTestSupport.h"
#include "Regional.h"
#include "SampleBankFile.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "TestSupport.h"
#include "WidgetTesting.h"
#include "uCarregaArquivo.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

using namespace ImportTestSupport;
using Title = BankFileWriter::Title;

namespace {
QByteArray sample()
{
    BankFileWriter w;
    SampleBankFile::write(w);
    return w.bytes();
}

// Three titles already in the table, as a previous import left them.
void previousImport(const QString& dir)
{
    QList<Title> titles(3);
    writeFile(QDir(dir).filePath(QStringLiteral("anterior.rem")), fileOf(titles));
    ScriptedDialogs dlg;
    dlg.fileNames << QDir(dir).filePath(QStringLiteral("anterior.rem"));
    TFrmCarregaArquivo w;
    w.Timer1Timer();
}
} // namespace

class TstCarregaArquivo : public QObject {
    Q_OBJECT
    TestEnvironment m_env{TestEnvironment::BrazilianFormats};
private Q_SLOTS:
    void init()
    {
        m_dir.reset(new TempProgramDir);
        BlqUpgrade::upgradeIfNeeded();
    }
    void cleanup()
    {
        m_env.cleanup();
        m_dir.reset();
    }

    void looksAsTheProgramShowsIt()
    {
        ScriptedDialogs dlg;
        TFrmCarregaArquivo w;
        QCOMPARE(w.windowTitle(), QStringLiteral("Arquivos para Impressão de Boleta"));
        QCOMPARE(w.size(), QSize(441, 275));
        QCOMPARE(w.Label1->text(), QStringLiteral("Atualizando as Bases de Dados."));
        QCOMPARE(w.Label2->text(), QStringLiteral("Aguarde..."));
        for (QLabel* l : {w.Label1, w.Label2}) {
            QCOMPARE(l->palette().color(QPalette::WindowText), QColor(Qt::red));
            QCOMPARE(l->font().pixelSize(), 16);
            QVERIFY(l->alignment() & Qt::AlignHCenter);
        }
        QVERIFY(w.StatusPanel->minimumWidth() >= 50);
        QCOMPARE(w.Timer1->interval(), 1000);
        QVERIFY(w.Timer1->isSingleShot());
        QVERIFY(w.Timer1->isActive());
        QVERIFY(dlg.asked.isEmpty()); // nothing asked before the timer fires
    }

    void startsByItselfAfterASecond()
    {
        ScriptedDialogs dlg;
        auto* w = new TFrmCarregaArquivo;
        w->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<TFrmCarregaArquivo> alive(w);
        w->show();
        QElapsedTimer clock;
        clock.start();
        QTRY_COMPARE_WITH_TIMEOUT(dlg.asked.size(), 1, 5000);
        QVERIFY(clock.elapsed() >= 900);
        QCOMPARE(dlg.asked.first().kind, QStringLiteral("openFile"));
        // No title, no filter; the home folder stands for the original "c:\".
        QCOMPARE(dlg.asked.first().caption, QString());
        QCOMPARE(dlg.asked.first().text, QDir::homePath() + QLatin1Char('|'));
        QTRY_VERIFY(alive.isNull()); // cancelled: closed and freed
    }

    void cancelLeavesTheTableAndClosesWithoutAMessage()
    {
        previousImport(m_dir->path());
        ScriptedDialogs dlg;
        auto* w = new TFrmCarregaArquivo;
        w->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<TFrmCarregaArquivo> alive(w);
        w->show();
        w->Timer1Timer();
        QCOMPARE(dlg.texts(QStringLiteral("message")), QStringList());
        QVERIFY(!w->CargaConcluida);
        QTRY_VERIFY(alive.isNull());
        QCOMPARE(rows().size(), 3);
    }

    void importsAnnouncesAndCloses_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("blocks");
        QTest::addColumn<int>("titles");
        QTest::newRow("the sample") << sample() << 87 << 30;
        const QByteArray header =
            BankFileWriter::headerRecord(QStringLiteral("01"), QStringLiteral("CEDENTE"), 1);
        QTest::newRow("header and trailer only")
            << header + BankFileWriter::trailerRecord(2) << 2 << 0;
        QTest::newRow("empty file") << QByteArray() << 0 << 0;
    }
    void importsAnnouncesAndCloses()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, blocks);
        QFETCH(int, titles);
        previousImport(m_dir->path());
        ScriptedDialogs dlg;
        dlg.fileNames << writeFile(m_dir->file(QStringLiteral("banco.rem")), bytes);
        auto* w = new TFrmCarregaArquivo;
        w->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<TFrmCarregaArquivo> alive(w);
        w->show();
        w->Timer1Timer();
        QVERIFY(w->CargaConcluida);
        QCOMPARE(w->blockCount(), blocks);
        if (blocks > 0)
            QCOMPARE(w->StatusPanel->text(),
                     QStringLiteral("%1 registros Processados").arg(blocks));
        QCOMPARE(dlg.asked.size(), 2);
        QCOMPARE(dlg.asked.last().kind, QStringLiteral("message"));
        QCOMPARE(dlg.asked.last().text, QStringLiteral("Carga finalizada com sucesso"));
        QCOMPARE(dlg.asked.last().caption, QStringLiteral("Aviso"));
        QTRY_VERIFY(alive.isNull());
        QCOMPARE(rows().size(), titles);
    }

    void anErrorLeavesTheWindowOnItsLastCount()
    {
        ScriptedDialogs dlg;
        Title bad;
        bad.nossoNumero = QStringLiteral("0000000002");
        bad.emissao = QStringLiteral("310226");
        dlg.fileNames << writeFile(m_dir->file(QStringLiteral("banco.rem")),
                                   fileOf({Title(), bad, Title()}));
        TFrmCarregaArquivo w;
        w.show();
        w.Timer1Timer();
        QCOMPARE(dlg.texts(QStringLiteral("error")),
                 QStringList{QStringLiteral("Bloco 3: '31/02/2026' não é uma data válida")});
        QCOMPARE(dlg.texts(QStringLiteral("message")), QStringList());
        QVERIFY(!w.CargaConcluida);
        QVERIFY(w.isVisible());
        QVERIFY(w.Label1->isVisible());
        QCOMPARE(w.StatusPanel->text(), QStringLiteral("3 registros Processados"));
        QCOMPARE(rows().size(), 1);
        w.close();
        QCOMPARE(rows().size(), 1); // closing drops the title that was being built
    }

    // The table was once emptied before the file was opened.
    void aFileThatCannotBeOpenedNoLongerEmptiesTheTable()
    {
        previousImport(m_dir->path());
        ScriptedDialogs dlg;
        dlg.fileNames << m_dir->file(QStringLiteral("sumiu.rem"));
        TFrmCarregaArquivo w;
        w.show();
        w.Timer1Timer();
        QCOMPARE(dlg.texts(QStringLiteral("error")).size(), 1);
        QVERIFY(dlg.lastText(QStringLiteral("error"))
                    .startsWith(QStringLiteral("Arquivo não encontrado")));
        QVERIFY(w.isVisible());
        QCOMPARE(rows().size(), 3);
    }

    void repaintsAtMostAboutThirtyTimesASecond()
    {
        BankFileWriter writer;
        SampleBankFile::writeBulk(writer, 20000);
        ScriptedDialogs dlg;
        dlg.fileNames << writeFile(m_dir->file(QStringLiteral("grande.rem")), writer.bytes());
        TFrmCarregaArquivo w;
        QVERIFY(WidgetTesting::shown(w));
        WidgetTesting::PaintCounter counter;
        w.StatusBar1->installEventFilter(&counter);
        QElapsedTimer clock;
        clock.start();
        w.Timer1Timer();
        const qint64 ms = clock.elapsed();
        QVERIFY(w.CargaConcluida);
        QCOMPARE(w.StatusPanel->text(), QStringLiteral("60002 registros Processados"));
        QVERIFY(counter.count >= 1);
        QVERIFY2(counter.count <= ms / 33 + 3,
                 qPrintable(QStringLiteral("%1 paints in %2 ms").arg(counter.count).arg(ms)));
    }

    // A picture or a PDF picked by mistake used to empty the table and report success.
    void aFileThatIsNotABankFileIsAskedAbout_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("rowsAfter");
        QTest::newRow("no keeps the titles") << int(Dialogs::Answer::No) << 3;
        QTest::newRow("closing the box keeps the titles") << int(Dialogs::Answer::Cancel) << 3;
        QTest::newRow("yes loads it all the same") << int(Dialogs::Answer::Yes) << 0;
    }
    void aFileThatIsNotABankFileIsAskedAbout()
    {
        QFETCH(int, answer);
        QFETCH(int, rowsAfter);
        previousImport(m_dir->path());
        // Bytes of a photo: no header record, no title either.
        const QString photo = writeFile(m_dir->file(QStringLiteral("foto.jpg")),
                                        QByteArray("\xFF\xD8\xFF\xE0 JFIF") + QByteArray(900, 'z'));
        ScriptedDialogs dlg;
        dlg.fileNames << photo;
        dlg.answers << Dialogs::Answer(answer);
        auto* w = new TFrmCarregaArquivo;
        w->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<TFrmCarregaArquivo> alive(w);
        w->show();
        w->Timer1Timer();
        QCOMPARE(dlg.texts(QStringLiteral("question")),
                 QStringList{QStringLiteral("O arquivo escolhido não parece um arquivo de "
                                            "cobrança. Carregar assim mesmo?")});
        QCOMPARE(rows().size(), rowsAfter);
        if (rowsAfter == 3) {
            QCOMPARE(dlg.texts(QStringLiteral("message")), QStringList());
            QTRY_VERIFY(alive.isNull());
        }
    }

    void aBankFileIsNotAskedAbout()
    {
        previousImport(m_dir->path());
        ScriptedDialogs dlg;
        dlg.fileNames << writeFile(m_dir->file(QStringLiteral("b.rem")), fileOf({Title()}));
        TFrmCarregaArquivo w;
        w.Timer1Timer();
        QCOMPARE(dlg.texts(QStringLiteral("question")), QStringList());
        QCOMPARE(rows().size(), 1);
    }

private:
    std::unique_ptr<TempProgramDir> m_dir;
};

QTEST_MAIN(TstCarregaArquivo)
#include "tst_carregaarquivo.moc"

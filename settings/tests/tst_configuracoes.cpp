#include "BeneficiaryLogos.h"
#include "BeneficiaryRows.h"
#include "Database.h"
#include "DbTable.h"
#include "IniFile.h"
#include "LogoPicture.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "TestSupport.h"
#include "WidgetTesting.h"
#include "uConfiguracoes.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QtTest>

using namespace BeneficiaryRows;

namespace {
// A picture whose every pixel tells where it is, so that a box's contents show which part
// of the picture it holds.
QImage pattern(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 7) & 0xff, (y * 11) & 0xff, 0x80));
    }
    return image;
}

QString savePicture(const QString& path, const QImage& image)
{
    if (!image.save(path))
        qFatal("cannot write a test picture");
    return QFileInfo(path).absoluteFilePath();
}

QImage boxImage(const QLabel* box)
{
    return box->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
}

QString recibo(const QString& section)
{
    return KvSettings::file().readString(section, QStringLiteral("Recibo"));
}

// One beneficiary, a folder where the settings file should be (so that it cannot be
// written) and a picture to choose as a logo, at *logo. False when the folder was not made.
bool unwritableSettingsFile(const TempProgramDir& dir, QString* logo)
{
    addBeneficiaries({kAcme});
    const bool made = QDir(dir.path()).mkdir(QStringLiteral("KVCob002.ini")); // not a file
    *logo = savePicture(dir.file(QStringLiteral("l.bmp")), pattern(12, 12));
    return made;
}

// The beneficiary ACME with both logos stored: the receipt's r.bmp and the voucher's
// picture named `voucher`, both in the program folder.
BeneficiaryLogos acmeWithLogos(const TempProgramDir& dir, const QString& voucher)
{
    addBeneficiaries({kAcme});
    const BeneficiaryLogos chosen{savePicture(dir.file(QStringLiteral("r.bmp")), pattern(20, 20)),
                                  savePicture(dir.file(voucher), pattern(30, 30))};
    chosen.write(kAcme);
    return chosen;
}
} // namespace

class TstConfiguracoes : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
private Q_SLOTS:
    void cleanup() { m_env.cleanup(); }

    void beneficiaryWithoutSectionShowsNoLogos()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        addBeneficiaries({kAcme, kBeta, kAcme});
        TfrmConfiguracoes w;
        QVERIFY(WidgetTesting::shown(w));
        QCOMPARE(w.windowTitle(), QStringLiteral("Configurações - Personalizar Bloqueto"));
        QStringList names;
        for (int i = 0; i < w.cmbNomeCedente->count(); ++i)
            names << w.cmbNomeCedente->itemText(i);
        QCOMPARE(names, (QStringList{kAcme, kBeta}));
        QCOMPARE(w.cmbNomeCedente->currentText(), kAcme);
        QVERIFY(w.imgRecibo->pixmap().isNull());
        QVERIFY(w.imgComprovante->pixmap().isNull());
        QCOMPARE(w.imgRecibo->contentsRect().size(), QSize(120, 35));
        QCOMPARE(w.imgComprovante->contentsRect().size(), QSize(469, 130));
        QVERIFY(!w.btnOk->isEnabled());
        QVERIFY(w.btnOk->isDefault());
        QVERIFY(w.btnReciboSacado->toolTip().isEmpty());
        QVERIFY(dlg.asked.isEmpty());
        QVERIFY(!QFile::exists(KvSettings::path())); // reading wrote nothing
    }

    void showsTheLogosOfTheChosenBeneficiary()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        addBeneficiaries({kAcme, kBeta});
        const QImage receipt = pattern(200, 60);  // larger than its box: top-left part
        const QImage voucher = pattern(600, 200); // larger than its box: middle part
        BeneficiaryLogos{savePicture(dir.file(QStringLiteral("r.png")), receipt),
                         savePicture(dir.file(QStringLiteral("v.bmp")), voucher)}
            .write(kBeta);
        TfrmConfiguracoes w;
        QVERIFY(w.imgRecibo->pixmap().isNull());
        w.cmbNomeCedente->setCurrentIndex(1);
        QCOMPARE(boxImage(w.imgRecibo), receipt.copy(0, 0, 120, 35));
        QCOMPARE(boxImage(w.imgComprovante),
                 voucher.copy((600 - 469) / 2, (200 - 130) / 2, 469, 130));
        QVERIFY(!w.btnOk->isEnabled());
        w.cmbNomeCedente->setCurrentIndex(0);
        QVERIFY(w.imgRecibo->pixmap().isNull());
        QVERIFY(w.imgComprovante->pixmap().isNull());
        QVERIFY(dlg.asked.isEmpty());
    }

    void smallPicturesSitInTheirBoxes()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        addBeneficiaries({kAcme});
        BeneficiaryLogos{savePicture(dir.file(QStringLiteral("r.bmp")), pattern(40, 20)),
                         savePicture(dir.file(QStringLiteral("v.bmp")), pattern(100, 30))}
            .write(kAcme);
        TfrmConfiguracoes w;
        QVERIFY(WidgetTesting::shown(w));
        const QImage shot = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QPoint r = w.imgRecibo->mapTo(&w, w.imgRecibo->contentsRect().topLeft());
        QCOMPARE(shot.pixel(r), pattern(40, 20).pixel(0, 0)); // receipt: from the top-left
        const QRect vc = w.imgComprovante->contentsRect();
        const QPoint v =
            w.imgComprovante->mapTo(&w, vc.topLeft() + QPoint((469 - 100) / 2, (130 - 30) / 2));
        QCOMPARE(shot.pixel(v), pattern(100, 30).pixel(0, 0)); // voucher: centred
    }

    void choosingALogoStoresItAtOnce()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        addBeneficiaries({kAcme});
        const QString logo = savePicture(dir.file(QStringLiteral("logo.bmp")), pattern(120, 35));
        TfrmConfiguracoes w;
        dlg.fileNames << logo;
        w.btnReciboSacado->click();
        QCOMPARE(dlg.texts(QStringLiteral("openPicture")).size(), 1);
        QCOMPARE(TestSupport::readFile(KvSettings::path()),
                 QByteArray("[ACME LTDA]\r\nRecibo=") + logo.toLatin1() + "\r\nComprovante=\r\n");
        QVERIFY(w.btnOk->isEnabled());
        QCOMPARE(boxImage(w.imgRecibo), pattern(120, 35));
        QVERIFY(dlg.texts(QStringLiteral("error")).isEmpty());

        w.btnOkClick(); // writes the same again and is done
        QVERIFY(!w.btnOk->isEnabled());
        QCOMPARE(recibo(kAcme), logo);

        dlg.fileNames << QString(); // the user cancels: nothing changes
        w.btnComprovanteEntrega->click();
        QCOMPARE(w.logos(), (BeneficiaryLogos{logo, QString()}));
        QVERIFY(!w.btnOk->isEnabled());
    }

    void theVoucherFilterStaysOnceALogoIsChosen()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        addBeneficiaries({kAcme});
        const QString logo = savePicture(dir.file(QStringLiteral("v.bmp")), pattern(60, 20));
        const QString bad = dir.file(QStringLiteral("bad.bmp"));
        QFile(bad).open(QIODevice::WriteOnly);
        TfrmConfiguracoes w;
        QCOMPARE(
            w.currentFilter(),
            QStringLiteral(
                "Imagens (*.bmp;*.ico)|*.bmp;*.ico|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico"));
        dlg.fileNames << QString() << bad << logo << QString() << QString();
        w.btnComprovanteEntrega->click(); // cancelled
        w.btnComprovanteEntrega->click(); // refused
        QCOMPARE(w.currentFilter(), TfrmConfiguracoes::initialFilter());
        w.btnComprovanteEntrega->click(); // chosen: from here on the voucher's filter
        QCOMPARE(
            w.currentFilter(),
            QStringLiteral(
                "Imagens | *.BMP; *.ICO | Arquivos Bitmap (*.bmp)|*.BMP|Ícones (*.ico)|*.ICO"));
        w.btnReciboSacado->click();
        w.btnComprovanteEntrega->click();
        const QStringList asked = dlg.texts(QStringLiteral("openPicture"));
        QCOMPARE(asked.size(), 5);
        const QString first = QStringLiteral(
            "Imagens (*.bmp *.BMP *.ico *.ICO);;Bitmaps (*.bmp *.BMP);;Icons (*.ico *.ICO);;"
            "Todas as figuras (*.bmp *.BMP *.ico *.ICO *.jpg *.JPG *.jpeg *.JPEG *.png *.PNG)");
        const QString later = QStringLiteral(
            "Imagens (*.bmp *.BMP *.ico *.ICO);;Arquivos Bitmap (*.bmp *.BMP);;Ícones (*.ico "
            "*.ICO);;"
            "Todas as figuras (*.bmp *.BMP *.ico *.ICO *.jpg *.JPG *.jpeg *.JPEG *.png *.PNG)");
        // The voucher's dialog shows its own filters from the first; the receipt's takes
        // them once a voucher logo was chosen.
        for (int i = 0; i < 5; ++i)
            QVERIFY2(asked[i].endsWith(QLatin1Char('|') + later), qPrintable(asked[i]));
        dlg.fileNames << QString();
        TfrmConfiguracoes fresh;
        fresh.btnReciboSacado->click();
        QVERIFY2(dlg.texts(QStringLiteral("openPicture")).last().endsWith(QLatin1Char('|') + first),
                 qPrintable(dlg.texts(QStringLiteral("openPicture")).last()));
        QVERIFY(asked[4].endsWith(QLatin1Char('|') + later));
        // the dialog opens in the folder of the logo already chosen
        QVERIFY(asked[4].startsWith(QDir(dir.path()).absolutePath() + QLatin1Char('|')));
    }

    void typingANewNameCreatesItsSection()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        addBeneficiaries({kAcme});
        // an intermediate text with a broken logo shows that every text typed is read
        KvSettings::file().writeString(QStringLiteral("NO"), QStringLiteral("Recibo"),
                                       dir.file(QStringLiteral("gone.bmp")));
        const QString logo = savePicture(dir.file(QStringLiteral("n.jpg")), pattern(120, 35));
        TfrmConfiguracoes w;
        QVERIFY(WidgetTesting::shown(w));
        w.cmbNomeCedente->lineEdit()->clear();
        QTest::keyClicks(w.cmbNomeCedente->lineEdit(), QStringLiteral("NOVO CEDENTE"));
        QCOMPARE(w.cmbNomeCedente->currentText(), QStringLiteral("NOVO CEDENTE"));
        QCOMPARE(dlg.texts(QStringLiteral("error")),
                 QStringList{QStringLiteral("Arquivo de Logomarca não encontrado")});
        QCOMPARE(w.cmbNomeCedente->count(), 1); // the list keeps the table's names only
        dlg.fileNames << logo;
        w.btnReciboSacado->click();
        QCOMPARE(recibo(QStringLiteral("NOVO CEDENTE")), logo);
        QVERIFY(
            TestSupport::readFile(KvSettings::path())
                .endsWith("[NOVO CEDENTE]\r\nRecibo=" + logo.toLatin1() + "\r\nComprovante=\r\n"));
        QCOMPARE(recibo(kAcme), QString());
    }

    void limparEmptiesBothKeys()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        const BeneficiaryLogos chosen = acmeWithLogos(dir, QStringLiteral("v.png"));
        TfrmConfiguracoes w;
        QVERIFY(!w.imgRecibo->pixmap().isNull());
        dlg.fileNames << chosen.recibo;
        w.btnReciboSacado->click();
        QVERIFY(w.btnOk->isEnabled());
        w.btnLimpar->click();
        QVERIFY(w.imgRecibo->pixmap().isNull());
        QVERIFY(w.imgComprovante->pixmap().isNull());
        QVERIFY(!w.btnOk->isEnabled());
        QCOMPARE(TestSupport::readFile(KvSettings::path()),
                 QByteArray("[ACME LTDA]\r\nRecibo=\r\nComprovante=\r\n"));
        // what the bloqueto reads: no logo, so its default pictures
        QCOMPARE(BeneficiaryLogos::read(kAcme), BeneficiaryLogos{});
        QVERIFY(dlg.texts(QStringLiteral("error")).isEmpty());
    }

    void aMovedLogoIsReportedOnOpening_data()
    {
        QTest::addColumn<bool>("moveReceipt");
        QTest::addColumn<bool>("moveVoucher");
        QTest::addColumn<bool>("receiptShown");
        QTest::newRow("receipt moved") << true << false << false;
        QTest::newRow("voucher moved") << false << true << true;
        QTest::newRow("both moved") << true << true << false;
    }
    void aMovedLogoIsReportedOnOpening()
    {
        QFETCH(bool, moveReceipt);
        QFETCH(bool, moveVoucher);
        QFETCH(bool, receiptShown);
        TempProgramDir dir;
        ScriptedDialogs dlg;
        const BeneficiaryLogos chosen = acmeWithLogos(dir, QStringLiteral("v.bmp"));
        QDir(dir.path()).mkdir(QStringLiteral("moved"));
        if (moveReceipt)
            QVERIFY(QFile::rename(chosen.recibo, dir.file(QStringLiteral("moved/r.bmp"))));
        if (moveVoucher)
            QVERIFY(QFile::rename(chosen.comprovante, dir.file(QStringLiteral("moved/v.bmp"))));
        const QByteArray before = TestSupport::readFile(KvSettings::path());
        TfrmConfiguracoes w;
        QCOMPARE(dlg.texts(QStringLiteral("error")),
                 QStringList{QStringLiteral("Arquivo de Logomarca não encontrado")});
        QCOMPARE(!w.imgRecibo->pixmap().isNull(), receiptShown);
        QVERIFY(w.imgComprovante->pixmap().isNull());
        QCOMPARE(w.cmbNomeCedente->currentText(), kAcme);
        QCOMPARE(TestSupport::readFile(KvSettings::path()), before); // nothing lost
        // choosing the other logo again keeps the stored path of the missing one
        dlg.fileNames << savePicture(dir.file(QStringLiteral("new.bmp")), pattern(25, 25));
        w.btnComprovanteEntrega->click();
        QCOMPARE(BeneficiaryLogos::read(kAcme).recibo, chosen.recibo);
    }

    void aBadChoiceKeepsTheSetting_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("message");
        const QString invalid = QStringLiteral("Tipo de arquivo inválido");
        QByteArray jpeg;
        {
            QBuffer b(&jpeg);
            b.open(QIODevice::WriteOnly);
            pattern(300, 100).save(&b, "jpeg");
        }
        QByteArray png;
        {
            QBuffer b(&png);
            b.open(QIODevice::WriteOnly);
            pattern(30, 30).save(&b, "png");
        }
        QTest::newRow("truncated") << "cut.jpg" << jpeg.left(jpeg.size() / 2) << invalid;
        QTest::newRow("wrong kind for its name") << "png.bmp" << png << invalid;
        QTest::newRow("not a picture") << "notes.ico" << QByteArray("hello") << invalid;
        QTest::newRow("metafile") << "logo.wmf" << QByteArray("\xD7\xCD\xC6\x9A\0\0", 6) << invalid;
        QTest::newRow("unknown kind") << "logo.txt" << png << invalid;
        QTest::newRow("gone since chosen")
            << "" << QByteArray() << QStringLiteral("Arquivo de Logomarca não encontrado");
    }
    void aBadChoiceKeepsTheSetting()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, data);
        QFETCH(QString, message);
        TempProgramDir dir;
        ScriptedDialogs dlg;
        addBeneficiaries({kAcme});
        const QString good = savePicture(dir.file(QStringLiteral("good.bmp")), pattern(120, 35));
        QString bad = dir.file(QStringLiteral("gone.bmp"));
        if (!name.isEmpty()) {
            bad = dir.file(name);
            QFile f(bad);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(data);
        }
        TfrmConfiguracoes w;
        dlg.fileNames << good << bad << bad;
        w.btnReciboSacado->click();
        const QByteArray before = TestSupport::readFile(KvSettings::path());
        w.btnOkClick();
        QVERIFY(!w.btnOk->isEnabled());
        w.btnReciboSacado->click();
        w.btnComprovanteEntrega->click();
        QCOMPARE(dlg.texts(QStringLiteral("error")), (QStringList{message, message}));
        QCOMPARE(TestSupport::readFile(KvSettings::path()), before);
        QCOMPARE(w.logos(), (BeneficiaryLogos{good, QString()}));
        QCOMPARE(boxImage(w.imgRecibo), pattern(120, 35)); // the box keeps its picture
        QVERIFY(w.imgComprovante->pixmap().isNull());
        QVERIFY(!w.btnOk->isEnabled());
        QCOMPARE(w.currentFilter(), TfrmConfiguracoes::initialFilter());
    }

    void windowsOnDifferentBeneficiariesKeepTheirOwnLogos()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        addBeneficiaries({kAcme, kBeta});
        const QString acmeVoucher =
            savePicture(dir.file(QStringLiteral("av.bmp")), pattern(30, 30));
        const QString betaVoucher =
            savePicture(dir.file(QStringLiteral("bv.bmp")), pattern(40, 30));
        const QString acmeReceipt =
            savePicture(dir.file(QStringLiteral("ar.bmp")), pattern(50, 30));
        const QString betaReceipt =
            savePicture(dir.file(QStringLiteral("br.bmp")), pattern(60, 30));
        BeneficiaryLogos{QString(), acmeVoucher}.write(kAcme);
        BeneficiaryLogos{QString(), betaVoucher}.write(kBeta);
        TfrmConfiguracoes onAcme;
        TfrmConfiguracoes onBeta;
        onBeta.cmbNomeCedente->setCurrentIndex(1);
        dlg.fileNames << acmeReceipt << betaReceipt;
        onAcme.btnReciboSacado->click();
        onBeta.btnReciboSacado->click();
        onAcme.btnOkClick();
        QCOMPARE(BeneficiaryLogos::read(kAcme), (BeneficiaryLogos{acmeReceipt, acmeVoucher}));
        QCOMPARE(BeneficiaryLogos::read(kBeta), (BeneficiaryLogos{betaReceipt, betaVoucher}));
    }

    void windowsOnTheSameBeneficiaryKeepBothChoices()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        addBeneficiaries({kAcme});
        const QString receipt = savePicture(dir.file(QStringLiteral("r.bmp")), pattern(50, 30));
        const QString voucher = savePicture(dir.file(QStringLiteral("v.bmp")), pattern(90, 30));
        TfrmConfiguracoes first;
        TfrmConfiguracoes second;
        dlg.fileNames << receipt << voucher;
        first.btnReciboSacado->click();
        second.btnComprovanteEntrega->click();
        QCOMPARE(BeneficiaryLogos::read(kAcme), (BeneficiaryLogos{receipt, voucher}));
        QCOMPARE(boxImage(second.imgRecibo), pattern(50, 30)); // shown as stored now
    }

    void anEmptyTableWorksOnTheEmptyName()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        const QString logo = savePicture(dir.file(QStringLiteral("l.png")), pattern(120, 35));
        {
            TfrmConfiguracoes w;
            QCOMPARE(w.cmbNomeCedente->count(), 0);
            QCOMPARE(w.cmbNomeCedente->currentText(), QString());
            dlg.fileNames << logo;
            w.btnReciboSacado->click();
            QCOMPARE(recibo(QString()), logo);
        }
        TfrmConfiguracoes again;
        QCOMPARE(boxImage(again.imgRecibo), pattern(120, 35));
        QVERIFY(dlg.texts(QStringLiteral("error")).isEmpty());
    }

    void enterPressesOkWhenItIsEnabled()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        addBeneficiaries({kAcme});
        const QString logo = savePicture(dir.file(QStringLiteral("l.bmp")), pattern(12, 12));
        TfrmConfiguracoes w;
        QVERIFY(WidgetTesting::shown(w));
        w.cmbNomeCedente->setFocus();
        QTest::keyClick(w.cmbNomeCedente->lineEdit(), Qt::Key_Return); // Ok disabled: nothing
        QVERIFY(!QFile::exists(KvSettings::path()));
        dlg.fileNames << logo;
        w.btnReciboSacado->click();
        QFile::remove(KvSettings::path());
        w.cmbNomeCedente->setFocus();
        QTest::keyClick(w.cmbNomeCedente->lineEdit(), Qt::Key_Return);
        QVERIFY(!w.btnOk->isEnabled());
        QCOMPARE(recibo(kAcme), logo); // written again by Ok
        QCOMPARE(w.cmbNomeCedente->count(), 1);
    }

    void anUnwritableSettingsFileEndsTheCommand()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        QString logo;
        QVERIFY(unwritableSettingsFile(dir, &logo));
        TfrmConfiguracoes w;
        dlg.fileNames << logo;
        w.btnReciboSacado->click();
        w.btnLimpar->click();
        QCOMPARE(dlg.texts(QStringLiteral("error")).size(), 2);
        QVERIFY(dlg.lastText(QStringLiteral("error"))
                    .startsWith(QStringLiteral("Unable to write to ")));
    }

    // After a failed write the window kept showing the logo just chosen, as if stored.
    void aFailedWriteShowsThePictureReallyStored()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        QString logo;
        QVERIFY(unwritableSettingsFile(dir, &logo));
        TfrmConfiguracoes w;
        for (QPushButton* choose : {w.btnReciboSacado, w.btnComprovanteEntrega}) {
            dlg.fileNames << logo;
            choose->click();
        }
        QCOMPARE(dlg.texts(QStringLiteral("error")).size(), 2);
        QVERIFY(w.imgRecibo->pixmap().isNull());
        QVERIFY(w.imgComprovante->pixmap().isNull());
        QVERIFY(!w.btnOk->isEnabled());
        QVERIFY(w.logos().recibo.isEmpty() && w.logos().comprovante.isEmpty());
        // The box names the file and says what is wrong with it, in Portuguese.
        const QString error = dlg.lastText(QStringLiteral("error"));
        QVERIFY2(error.contains(QStringLiteral("Não foi possível gravar o arquivo %1: há uma pasta "
                                               "com esse nome")
                                    .arg(KvSettings::path())),
                 qPrintable(error));
    }
};

QTEST_MAIN(TstConfiguracoes)
#include "tst_configuracoes.moc"

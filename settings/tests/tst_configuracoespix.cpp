#include "BeneficiaryLogos.h"
#include "BeneficiaryPix.h"
#include "BeneficiaryRows.h"
#include "Database.h"
#include "DbTable.h"
#include "IniFile.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "TestSupport.h"
#include "uConfiguracoes.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace BeneficiaryRows;

namespace {
// What the user does: types into the fields (as the keyboard would) and presses Ok.
void type(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(edit, char(c.unicode()));
        else // keys the test keyboard lacks come as their text
            QTest::sendKeyEvent(QTest::KeyAction::Click, edit, Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
    }
}
} // namespace

class TstConfiguracoesPix : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
private Q_SLOTS:
    void cleanup() { m_env.cleanup(); }

    void okStoresTheKeyAsPayersPayToIt_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("CPF with punctuation")
            << QStringLiteral("529.982.247-25") << QStringLiteral("52998224725");
        QTest::newRow("CNPJ with punctuation")
            << QStringLiteral("11.222.333/0001-81") << QStringLiteral("11222333000181");
        QTest::newRow("e-mail") << QStringLiteral(" Pix@Acme.com.BR ")
                                << QStringLiteral("pix@acme.com.br");
        QTest::newRow("telephone")
            << QStringLiteral("+55 (11) 98765-4321") << QStringLiteral("+5511987654321");
        QTest::newRow("random key") << QStringLiteral("123E4567-E12B-12D1-A456-426655440000")
                                    << QStringLiteral("123e4567-e12b-12d1-a456-426655440000");
        QTest::newRow("no key at all") << QString() << QString();
    }
    void okStoresTheKeyAsPayersPayToIt()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        TempProgramDir dir;
        ScriptedDialogs dlg;
        addBeneficiaries({kAcme});
        TfrmConfiguracoes w;
        QVERIFY(!w.btnOk->isEnabled());
        type(w.edtChavePix, typed);
        type(w.edtCidadePix, QStringLiteral("São Paulo"));
        QVERIFY(w.btnOk->isEnabled()); // typing is a change to store
        w.btnOk->click();
        QVERIFY(dlg.texts(QStringLiteral("error")).isEmpty());
        QCOMPARE(BeneficiaryPix::read(kAcme),
                 (BeneficiaryPix{stored, QStringLiteral("São Paulo")}));
        QCOMPARE(w.edtChavePix->text(), stored); // the window shows what it stored
        QVERIFY(!w.btnOk->isEnabled());
    }

    void anInvalidKeyWritesNothing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("CPF with a wrong check digit") << QStringLiteral("529.982.247-24");
        QTest::newRow("telephone without +55") << QStringLiteral("(11) 98765-4321");
        QTest::newRow("e-mail without domain") << QStringLiteral("pix@");
        QTest::newRow("a name") << QStringLiteral("ACME LTDA");
    }
    void anInvalidKeyWritesNothing()
    {
        QFETCH(QString, typed);
        TempProgramDir dir;
        ScriptedDialogs dlg;
        addBeneficiaries({kAcme});
        BeneficiaryPix{QStringLiteral("52998224725"), QStringLiteral("Campinas")}.write(kAcme);
        const QByteArray before = TestSupport::readFile(KvSettings::path());
        TfrmConfiguracoes w;
        QCOMPARE(w.edtChavePix->text(), QStringLiteral("52998224725"));
        QCOMPARE(w.edtCidadePix->text(), QStringLiteral("Campinas"));
        type(w.edtChavePix, typed);
        type(w.edtCidadePix, QStringLiteral("Jundiaí"));
        w.btnOk->click();
        QCOMPARE(dlg.texts(QStringLiteral("error")),
                 QStringList{QStringLiteral("Chave PIX inválida")});
        QCOMPARE(TestSupport::readFile(KvSettings::path()), before);
        QCOMPARE(w.edtChavePix->text(), typed); // kept for the user to correct
    }

    void eachBeneficiaryShowsItsOwnKey()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        addBeneficiaries({kAcme, kBeta});
        BeneficiaryPix{QStringLiteral("pix@acme.com.br"), QStringLiteral("Campinas")}.write(kAcme);
        TfrmConfiguracoes w;
        QCOMPARE(w.edtChavePix->text(), QStringLiteral("pix@acme.com.br"));
        w.cmbNomeCedente->setCurrentIndex(1);
        QCOMPARE(w.edtChavePix->text(), QString());
        QCOMPARE(w.edtCidadePix->text(), QString());
        type(w.edtChavePix, QStringLiteral("11.222.333/0001-81"));
        type(w.edtCidadePix, QStringLiteral("Santos"));
        w.btnOk->click();
        QCOMPARE(BeneficiaryPix::read(kBeta),
                 (BeneficiaryPix{QStringLiteral("11222333000181"), QStringLiteral("Santos")}));
        QCOMPARE(BeneficiaryPix::read(kAcme).chave, QStringLiteral("pix@acme.com.br"));
    }

    // A beneficiary that uses no PIX must find its section as it was: Ok adds no keys.
    void okWithoutPixLeavesTheSectionAsItWas()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        addBeneficiaries({kAcme});
        BeneficiaryLogos{QString(), QString()}.write(kAcme);
        const QByteArray before = TestSupport::readFile(KvSettings::path());
        TfrmConfiguracoes w;
        w.btnOk->click();
        QCOMPARE(TestSupport::readFile(KvSettings::path()), before);
    }

    void clearingTheKeyStoresItEmpty()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        addBeneficiaries({kAcme});
        BeneficiaryPix{QStringLiteral("52998224725"), QStringLiteral("Campinas")}.write(kAcme);
        TfrmConfiguracoes w;
        type(w.edtChavePix, QString());
        w.btnOk->click();
        QVERIFY(dlg.texts(QStringLiteral("error")).isEmpty());
        QCOMPARE(BeneficiaryPix::read(kAcme),
                 (BeneficiaryPix{QString(), QStringLiteral("Campinas")}));
        QVERIFY(TestSupport::readFile(KvSettings::path()).contains("ChavePix=\r\n"));
    }

    void limparLeavesTheKeyAlone()
    {
        TempProgramDir dir;
        ScriptedDialogs dlg;
        addBeneficiaries({kAcme});
        const BeneficiaryPix pix{QStringLiteral("52998224725"), QStringLiteral("Campinas")};
        pix.write(kAcme);
        TfrmConfiguracoes w;
        w.btnLimpar->click();
        QCOMPARE(BeneficiaryPix::read(kAcme), pix);
        QCOMPARE(w.edtChavePix->text(), pix.chave);
    }
};

QTEST_MAIN(TstConfiguracoesPix)
#include "tst_configuracoespix.moc"

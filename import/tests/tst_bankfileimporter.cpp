#include "BankConversions.h"
#include "BankFileImporter.h"
#include "BankFileWriter.h"
#include "BlqStatements.h"
#include "BlqUpgrade.h"
#include "Database.h"
#include "DbTable.h"
#include "EngineProgramDir.h"
#include "ImportTestSupport.h"
#include "KvError.h"
#include "ProgramDir.h"
#include "Regional.h"
#include "SampleBankFile.h"
#include "TestSupport.h"

#include <QtTest>

using namespace ImportTestSupport;
using Title = BankFileWriter::Title;
Q_DECLARE_METATYPE(BankFileWriter::Title)

namespace {

// A valid payload of a title of the test's beneficiary, and the same with one digit of
// its CRC changed.
QString payloadOf(const Title& t)
{
    return SampleBankFile::pixPayload(t, QStringLiteral("CEDENTE DE TESTE"));
}

QString badCrc(const QString& payload)
{
    QString out = payload;
    out.back() = out.back() == u'0' ? u'1' : u'0';
    return out;
}

// A type '4' block that is not a PIX record: the bank's own data.
QByteArray otherType4(int sequence)
{
    return BankFileWriter::textRecord('4', QStringLiteral("XYZ") + payloadOf(Title()), sequence);
}

Title titleWith(std::initializer_list<std::pair<QString Title::*, QString>> fields)
{
    Title t;
    for (const auto& [member, value] : fields)
        t.*member = value;
    return t;
}
} // namespace

class TstBankFileImporter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase_data() { addEngineRows(); }
    void initTestCase() { Regional::setSeparators(QLatin1Char(','), QLatin1Char('.')); }
    void cleanup() { Database::closeAll(); }

    void aValidTitleFillsItsRow()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        Title t;
        t.agencia = QStringLiteral("0341");
        t.contrato = QStringLiteral("00123456");
        t.nossoNumero = QStringLiteral("2600000101");
        t.seuNumero = QStringLiteral("NF0001");
        t.emissao = QStringLiteral("050126");
        t.vencimento = QStringLiteral("100226");
        t.valor = BankFileWriter::cents(123456);
        t.quantidade = QStringLiteral("0000000002");
        t.jurosDia = BankFileWriter::cents(41);
        t.descontoAte = QStringLiteral("050226");
        t.desconto = BankFileWriter::cents(500);
        t.abatimento = BankFileWriter::cents(250);
        t.especie = QStringLiteral("02");
        t.sacado = QStringLiteral("JOSÉ DA CONCEIÇÃO");
        t.avalista = QStringLiteral("FIADOR ÁGIL");
        QString error;
        const QVariantMap r = importTitle(t, &error);
        QCOMPARE(error, QString());
        QCOMPARE(r.value(QStringLiteral("BlqAgeCod")).toString(), QStringLiteral("0341"));
        QCOMPARE(r.value(QStringLiteral("BlqCtrCod")).toString(), QStringLiteral("001234567"));
        QCOMPARE(r.value(QStringLiteral("BlqNosNum")).toString(), QStringLiteral("26000001010"));
        QCOMPARE(r.value(QStringLiteral("BlqSeuNum")).toString(), QStringLiteral("NF0001    "));
        QCOMPARE(r.value(QStringLiteral("BlqDatEmi")).toString(), QStringLiteral("2026-01-05"));
        QCOMPARE(r.value(QStringLiteral("BlqDatVen")).toString(), QStringLiteral("2026-02-10"));
        QCOMPARE(r.value(QStringLiteral("BlqDstDatLim")).toString(), QStringLiteral("2026-02-05"));
        QCOMPARE(r.value(QStringLiteral("BlqNomCed")).toString(),
                 QStringLiteral("CEDENTE DE TESTE              "));
        QCOMPARE(r.value(QStringLiteral("BlqTipCar")).toString(), QStringLiteral("01"));
        QCOMPARE(r.value(QStringLiteral("BlqEspDoc")).toString(), QStringLiteral("NP"));
        QCOMPARE(r.value(QStringLiteral("BlqCodMoe")).toString(), QStringLiteral("REAL"));
        QCOMPARE(r.value(QStringLiteral("BlqQtdMoe")).toInt(), 2);
        QCOMPARE(r.value(QStringLiteral("BlqTitVal")).toDouble(), 1234.56);
        QCOMPARE(r.value(QStringLiteral("BlqJurDiaVal")).toDouble(), 0.41);
        QCOMPARE(r.value(QStringLiteral("BlqDstVal")).toDouble(), 5.0);
        QCOMPARE(r.value(QStringLiteral("BlqAbtAtrVal")).toDouble(), 2.5);
        QCOMPARE(r.value(QStringLiteral("BlqCpfCgcCed")).toString(),
                 QStringLiteral("012345678000190"));
        QCOMPARE(r.value(QStringLiteral("BlqCpfCgcSac")).toString(),
                 QStringLiteral("00012345678909"));
        // Windows-1252 names arrive intact, blanks kept to the column's width.
        QCOMPARE(r.value(QStringLiteral("BlqSacNom")).toString(),
                 QStringLiteral("JOSÉ DA CONCEIÇÃO").leftJustified(40));
        QCOMPARE(r.value(QStringLiteral("BlqSacAvl")).toString(),
                 QStringLiteral("FIADOR ÁGIL").leftJustified(30));
        QCOMPARE(r.value(QStringLiteral("BlqSacCEP")).toString(), QStringLiteral("01001000"));
        QCOMPARE(r.value(QStringLiteral("BlqSacEtd")).toString(), QStringLiteral("SP"));
        QCOMPARE(r.value(QStringLiteral("BlqRegVal")).toInt(), 1);
        QCOMPARE(r.value(QStringLiteral("BlqMsgErr")).toString(), QString());
        QVERIFY(!r.value(QStringLiteral("BlqMsgErr")).isNull());
        for (const char* unset :
             {"BlqIdcAvi", "BlqIdcCAp", "BlqValMul", "BlqDatMul", "BlqMsg", "BlqIns"})
            QVERIFY2(r.value(QLatin1StringView(unset)).isNull(), unset);
    }

    void titleValue_data()
    {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("moeda");
        QTest::addColumn<QString>("error");  // the import stops with it
        QTest::addColumn<QVariant>("value"); // null: BlqTitVal null
        QTest::addColumn<QString>("reasons");
        QTest::addColumn<QString>("codMoe");
        const QVariant null;
        QTest::newRow("thirteen nines store zero") << "9999999999999"
                                                   << "1" << QString() << QVariant(0.0) << ""
                                                   << "REAL";
        QTest::newRow("thirteen zeros") << "0000000000000"
                                        << "1" << QString() << null << "VALOR DO TÍTULO ZERADO"
                                        << "REAL";
        QTest::newRow("99.999.999,99 is the ceiling")
            << "0009999999999"
            << "1" << QString() << QVariant(99999999.99) << ""
            << "REAL";
        QTest::newRow("one hundred million") << "0010000000000"
                                             << "1" << QString() << QVariant(100000000.0)
                                             << "VALOR DO TÍTULO EXCEDE AO LIMITE DE CASA INTEIRAS"
                                             << "REAL";
        QTest::newRow("letters in reais") << "00000ABC00000"
                                          << "1" << QString() << null << "VALOR DO TÍTULO INVÁLIDO"
                                          << "REAL";
        QTest::newRow("blank in reais") << "             "
                                        << "1" << QString() << null << "VALOR DO TÍTULO INVÁLIDO"
                                        << "REAL";
        QTest::newRow("letters in dollars stop the import")
            << "00000ABC00000"
            << "2"
            << "'00000ABC00000' não é um número válido" << null << ""
            << "";
        QTest::newRow("zero in dollars is not checked") << "0000000000000"
                                                        << "2" << QString() << QVariant(0.0) << ""
                                                        << "US$";
        QTest::newRow("nines in UFIR are not checked")
            << "9999999999999"
            << "5" << QString() << QVariant(99999999999.99) << ""
            << "UFIR";
        QTest::newRow("TRADU") << "0000000000100"
                               << "3" << QString() << QVariant(1.0) << ""
                               << "TRADU";
        QTest::newRow("IDTR") << "0000000000100"
                              << "4" << QString() << QVariant(1.0) << ""
                              << "IDTR";
        QTest::newRow("URV") << "0000000000100"
                             << "6" << QString() << QVariant(1.0) << ""
                             << "URV";
        QTest::newRow("unknown currency leaves all three null") << "00000ABC00000"
                                                                << "7" << QString() << null << ""
                                                                << "";
        QTest::newRow("blank currency") << "0000000000100"
                                        << " " << QString() << null << ""
                                        << "";
    }
    void titleValue()
    {
        QFETCH(QString, valor);
        QFETCH(QString, moeda);
        QFETCH(QString, error);
        QFETCH(QVariant, value);
        QFETCH(QString, reasons);
        QFETCH(QString, codMoe);
        KV_GLOBAL_ENGINE_DIR(dir);
        QString got;
        const QVariantMap r =
            importTitle(titleWith({{&Title::valor, valor}, {&Title::moeda, moeda}}), &got);
        QCOMPARE(got, error);
        if (!error.isEmpty()) {
            QVERIFY(r.isEmpty()); // the title under construction is not stored
            return;
        }
        const QVariant stored = r.value(QStringLiteral("BlqTitVal"));
        QCOMPARE(stored.isNull(), value.isNull());
        if (!value.isNull())
            QCOMPARE(stored.toDouble(), value.toDouble());
        QCOMPARE(r.value(QStringLiteral("BlqMsgErr")).toString(), reasons);
        QCOMPARE(r.value(QStringLiteral("BlqRegVal")).toInt(), reasons.isEmpty() ? 1 : 0);
        QCOMPARE(r.value(QStringLiteral("BlqCodMoe")).toString(), codMoe);
        QCOMPARE(r.value(QStringLiteral("BlqQtdMoe")).isNull(), codMoe.isEmpty());
    }

    void lateFee_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("multa");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("date");
        const QVariant null;
        QTest::newRow("amount") << "1"
                                << "0000000000500"
                                << "0000000010000"
                                << "110226" << QString() << QVariant(5.0) << "2026-02-11";
        QTest::newRow("2% of 100,00") << "2"
                                      << "0000000000200"
                                      << "0000000010000"
                                      << "000000" << QString() << QVariant(2.0) << "";
        QTest::newRow("no late fee") << "0"
                                     << "ABC"
                                     << "0000000010000"
                                     << "000000" << QString() << null << "";
        QTest::newRow("date without a code") << " "
                                             << "0000000000000"
                                             << "0000000010000"
                                             << "150326" << QString() << null << "2026-03-15";
        QTest::newRow("percentage needs a numeric value even in reais")
            << "2"
            << "0000000000200"
            << "00000ABC00000"
            << "000000"
            << "'00000ABC00000' não é um número válido" << null << "";
        QTest::newRow("bad amount stops") << "1"
                                          << "000000000050X"
                                          << "0000000010000"
                                          << "000000"
                                          << "'000000000050X' não é um número válido" << null << "";
        QTest::newRow("bad date stops") << "1"
                                        << "0000000000500"
                                        << "0000000010000"
                                        << "300226"
                                        << "'30/02/2026' não é uma data válida" << null << "";
    }
    void lateFee()
    {
        QFETCH(QString, code);
        QFETCH(QString, multa);
        QFETCH(QString, valor);
        QFETCH(QString, data);
        QFETCH(QString, error);
        QFETCH(QVariant, value);
        QFETCH(QString, date);
        KV_GLOBAL_ENGINE_DIR(dir);
        QString got;
        const QVariantMap r = importTitle(titleWith({{&Title::multaCodigo, code},
                                                     {&Title::multa, multa},
                                                     {&Title::valor, valor},
                                                     {&Title::multaData, data}}),
                                          &got);
        QCOMPARE(got, error);
        if (!error.isEmpty())
            return;
        QCOMPARE(r.value(QStringLiteral("BlqValMul")).isNull(), value.isNull());
        QCOMPARE(r.value(QStringLiteral("BlqValMul")).toDouble(), value.toDouble());
        QCOMPARE(r.value(QStringLiteral("BlqDatMul")).toString(), date);
    }

    void dueDate_data()
    {
        QTest::addColumn<QString>("vencimento");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QVariant>("aVista");
        QTest::addColumn<QVariant>("contraApresentacao");
        QTest::addColumn<QString>("reasons");
        const QVariant null;
        QTest::newRow("on presentation")
            << "888888" << QString() << "" << QVariant(0) << QVariant(1) << "";
        QTest::newRow("on sight") << "999999" << QString() << "" << QVariant(1) << QVariant(0)
                                  << "";
        QTest::newRow("none") << "000000" << QString() << "" << null << null << "";
        QTest::newRow("3 July 2000 is too early")
            << "030700" << QString() << "2000-07-03" << null << null << "VENCIMENTO INVÁLIDO";
        QTest::newRow("4 July 2000 is accepted")
            << "040700" << QString() << "2000-07-04" << null << null << "";
        QTest::newRow("31 February stops the import") << "310226"
                                                      << "'31/02/2026' não é uma data válida"
                                                      << "" << null << null << "";
        QTest::newRow("blank stops the import") << "      "
                                                << "'  /  /20  ' não é uma data válida"
                                                << "" << null << null << "";
    }
    void dueDate()
    {
        QFETCH(QString, vencimento);
        QFETCH(QString, error);
        QFETCH(QString, stored);
        QFETCH(QVariant, aVista);
        QFETCH(QVariant, contraApresentacao);
        QFETCH(QString, reasons);
        KV_GLOBAL_ENGINE_DIR(dir);
        QString got;
        const QVariantMap r = importTitle(titleWith({{&Title::vencimento, vencimento}}), &got);
        QCOMPARE(got, error);
        if (!error.isEmpty())
            return;
        QCOMPARE(r.value(QStringLiteral("BlqDatVen")).toString(), stored);
        QCOMPARE(r.value(QStringLiteral("BlqIdcAvi")).isNull(), aVista.isNull());
        QCOMPARE(r.value(QStringLiteral("BlqIdcAvi")).toInt(), aVista.toInt());
        QCOMPARE(r.value(QStringLiteral("BlqIdcCAp")).isNull(), contraApresentacao.isNull());
        QCOMPARE(r.value(QStringLiteral("BlqIdcCAp")).toInt(), contraApresentacao.toInt());
        QCOMPARE(r.value(QStringLiteral("BlqMsgErr")).toString(), reasons);
    }

    void otherDates_data()
    {
        QTest::addColumn<QString>("emissao");
        QTest::addColumn<QString>("descontoAte");
        QTest::addColumn<QString>("error");
        QTest::newRow("none") << "000000"
                              << "000000" << QString();
        QTest::newRow("bad issue date") << "999999"
                                        << "000000"
                                        << "'99/99/2099' não é uma data válida";
        QTest::newRow("bad discount date") << "000000"
                                           << "ABCDEF"
                                           << "'AB/CD/20EF' não é uma data válida";
    }
    void otherDates()
    {
        QFETCH(QString, emissao);
        QFETCH(QString, descontoAte);
        QFETCH(QString, error);
        KV_GLOBAL_ENGINE_DIR(dir);
        QString got;
        const QVariantMap r = importTitle(
            titleWith({{&Title::emissao, emissao}, {&Title::descontoAte, descontoAte}}), &got);
        QCOMPARE(got, error);
        if (error.isEmpty()) {
            QVERIFY(r.value(QStringLiteral("BlqDatEmi")).isNull());
            QVERIFY(r.value(QStringLiteral("BlqDstDatLim")).isNull());
        }
    }

    void especie_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("stored");
        const char* names[] = {"DM", "NP", "RC", "LC", "NS", "DS", "OU"};
        for (int i = 0; i < 7; ++i)
            QTest::addRow("0%d", i + 1)
                << QStringLiteral("0%1").arg(i + 1) << QString::fromLatin1(names[i]);
        QTest::newRow("08") << "08" << QString();
        QTest::newRow("00") << "00" << QString();
        QTest::newRow("blank") << "  " << QString();
    }
    void especie()
    {
        QFETCH(QString, code);
        QFETCH(QString, stored);
        KV_GLOBAL_ENGINE_DIR(dir);
        const QVariantMap r = importTitle(titleWith({{&Title::especie, code}}));
        QCOMPARE(r.value(QStringLiteral("BlqEspDoc")).isNull(), stored.isNull());
        QCOMPARE(r.value(QStringLiteral("BlqEspDoc")).toString(), stored);
    }

    void checks_data()
    {
        QTest::addColumn<Title>("title");
        QTest::addColumn<QString>("reasons");
        Title t;
        t.nossoNumeroDigito = QStringLiteral("X");
        QTest::newRow("wrong nosso número digit") << t << "NOS. NÚMERO INVÁLIDO";
        t = Title();
        t.contratoDigito = QStringLiteral("9");
        QTest::newRow("wrong contract digit") << t << "AG./CONTR. INVÁLIDO";
        t = Title();
        t.agencia = QStringLiteral("0000");
        t.nossoNumero = QStringLiteral("0000000000");
        QTest::newRow("zero nosso número, right digit") << t << "NOS. NÚMERO ZERADO";
        t = Title();
        t.nossoNumero = QStringLiteral("0000000000");
        t.nossoNumeroDigito = QStringLiteral("0"); // 0341 and zeros give 8
        QTest::newRow("zero nosso número, wrong digit")
            << t << "NOS. NÚMERO INVÁLIDO, NOS. NÚMERO ZERADO";
        t = Title();
        t.carteira = QStringLiteral("5");
        QTest::newRow("carteira 5 on the title") << t << "CARTEIRA INVALIDA";
        // Reasons in the order of the checks; 62 characters keep their first 50.
        t = Title();
        t.nossoNumeroDigito = QStringLiteral("X");
        t.contratoDigito = QStringLiteral("9");
        t.vencimento = QStringLiteral("030700");
        QTest::newRow("three reasons cut to 50")
            << t << "NOS. NÚMERO INVÁLIDO, AG./CONTR. INVÁLIDO, VENCIME";
        t = Title();
        t.valor = BankFileWriter::cents(0);
        t.carteira = QStringLiteral("5");
        QTest::newRow("value first, carteira last")
            << t << "VALOR DO TÍTULO ZERADO, CARTEIRA INVALIDA";
    }
    void checks()
    {
        QFETCH(Title, title);
        QFETCH(QString, reasons);
        KV_GLOBAL_ENGINE_DIR(dir);
        QString error;
        const QVariantMap r = importTitle(title, &error);
        QCOMPARE(error, QString());
        QCOMPARE(r.value(QStringLiteral("BlqMsgErr")).toString(), reasons);
        QCOMPARE(r.value(QStringLiteral("BlqRegVal")).toInt(), 0);
    }

    // The PIX record belongs to the title before it, like its message and instructions.
    void pixRecord_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QVariant>("payload"); // null: the column stays null
        QTest::addColumn<QString>("reasons");
        const QString good = payloadOf(Title());
        Title another;
        another.valor = BankFileWriter::cents(2550);
        const QString other = payloadOf(another);
        auto file = [](const Title& t, const QStringList& payloads, bool messageFirst = true) {
            BankFileWriter w;
            w.header(QStringLiteral("01"), QStringLiteral("CEDENTE DE TESTE"));
            w.title(t);
            if (messageFirst)
                w.message(QStringLiteral("MENSAGEM"));
            for (const QString& p : payloads)
                w.pix(p);
            if (!messageFirst)
                w.message(QStringLiteral("MENSAGEM"));
            w.title(Title()); // the next title gets none of it
            w.trailer();
            return w.bytes();
        };
        QTest::newRow("valid") << file(Title(), {good}) << QVariant(good) << "";
        QTest::newRow("valid, before the message")
            << file(Title(), {good}, false) << QVariant(good) << "";
        QTest::newRow("missing") << file(Title(), {}) << QVariant() << "";
        QTest::newRow("bad CRC") << file(Title(), {badCrc(good)}) << QVariant(badCrc(good))
                                 << "QR CODE PIX INVÁLIDO";
        QTest::newRow("blank") << file(Title(), {QString()}) << QVariant(QStringLiteral(""))
                               << "QR CODE PIX INVÁLIDO";
        QTest::newRow("not a PIX payload")
            << file(Title(), {QStringLiteral("PAGUE NO BANCO")})
            << QVariant(QStringLiteral("PAGUE NO BANCO")) << "QR CODE PIX INVÁLIDO";
        QTest::newRow("repeated: the later one")
            << file(Title(), {good, other}) << QVariant(other) << "";
        QTest::newRow("repeated: a good one after a bad one")
            << file(Title(), {badCrc(good), good}) << QVariant(good) << "";
        QTest::newRow("repeated: a bad one after a good one")
            << file(Title(), {good, badCrc(other)}) << QVariant(badCrc(other))
            << "QR CODE PIX INVÁLIDO";
        Title wrong;
        wrong.nossoNumeroDigito = QStringLiteral("X");
        QTest::newRow("joined to the title's own reasons")
            << file(wrong, {badCrc(good)}) << QVariant(badCrc(good))
            << "NOS. NÚMERO INVÁLIDO, QR CODE PIX INVÁLIDO";
        QTest::newRow("a good one keeps the title's own reasons")
            << file(wrong, {good}) << QVariant(good) << "NOS. NÚMERO INVÁLIDO";
        wrong.carteira = QStringLiteral("5");
        QTest::newRow("cut to 50 with the others")
            << file(wrong, {badCrc(good)}) << QVariant(badCrc(good))
            << QStringLiteral("NOS. NÚMERO INVÁLIDO, CARTEIRA INVALIDA, QR CODE PIX INVÁLIDO")
                   .left(50);
    }
    void pixRecord()
    {
        QFETCH(QByteArray, file);
        QFETCH(QVariant, payload);
        QFETCH(QString, reasons);
        KV_GLOBAL_ENGINE_DIR(dir);
        const Outcome o = importBytes(file);
        QCOMPARE(o.error, QString());
        const QList<QVariantMap> all = rows();
        QCOMPARE(all.size(), 2);
        const QVariant stored = all.first().value(QStringLiteral("BlqPixEmv"));
        QCOMPARE(stored.isNull(), payload.isNull());
        QCOMPARE(stored.toString(), payload.toString());
        QCOMPARE(all.first().value(QStringLiteral("BlqMsgErr")).toString(), reasons);
        QCOMPARE(all.first().value(QStringLiteral("BlqRegVal")).toInt(), reasons.isEmpty() ? 1 : 0);
        QCOMPARE(all.first().value(QStringLiteral("BlqMsg")).toString().trimmed(),
                 QStringLiteral("MENSAGEM"));
        QVERIFY(all.last().value(QStringLiteral("BlqPixEmv")).isNull());
        QCOMPARE(all.last().value(QStringLiteral("BlqRegVal")).toInt(), 1);
    }

    void aType4BlockWithoutPixChangesNothing()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        const QByteArray plain = fileOf({Title(), Title()});
        QCOMPARE(importBytes(plain).error, QString());
        auto unnumbered = [] {
            QList<QVariantMap> out = rows();
            for (QVariantMap& row : out)
                row.remove(QStringLiteral("BlqSeq"));
            return out;
        };
        const QList<QVariantMap> before = unnumbered();
        // After the header, after each title, and one marked in lower case.
        BankFileWriter w;
        w.header(QStringLiteral("01"), QStringLiteral("CEDENTE DE TESTE"));
        w.raw(otherType4(2));
        w.title(Title());
        w.raw(otherType4(4));
        w.title(Title());
        w.raw(BankFileWriter::pixRecord(payloadOf(Title()), 6).replace(1, 3, "pix"));
        w.trailer();
        const Outcome o = importBytes(w.bytes());
        QCOMPARE(o.error, QString());
        QCOMPARE(o.blocks, 7);
        QCOMPARE(unnumbered(), before);
    }

    void aPixRecordBeforeAnyTitleStopsTheImport()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        BankFileWriter w;
        w.header(QStringLiteral("01"), QStringLiteral("CEDENTE DE TESTE"));
        w.pix(payloadOf(Title()));
        w.title(Title());
        w.trailer();
        const Outcome o = importBytes(w.bytes());
        QVERIFY(o.error.startsWith(QStringLiteral("Bloco 2: ")));
        QVERIFY(!o.completed);
        QVERIFY(rows().isEmpty());
    }

    void widthsCountCharacters()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        Title t;
        t.sacado = QStringLiteral("ÂÊÎÔÛ").repeated(8);   // 40 accented characters, 40 bytes
        t.cidade = QStringLiteral("SÃO JOSÉ DOS CAMPOS"); // cut by the file at 15
        const QVariantMap r = importTitle(t);
        QCOMPARE(r.value(QStringLiteral("BlqSacNom")).toString(), t.sacado);
        QCOMPARE(r.value(QStringLiteral("BlqSacCid")).toString(),
                 QStringLiteral("SÃO JOSÉ DOS CA"));
    }

    void controlBytesAndHighBytesAreKept()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        Title t;
        t.columns = {{235, QByteArray("\x80\x9f\xff\x01", 4)}};
        const QVariantMap r = importTitle(t);
        const QString name = r.value(QStringLiteral("BlqSacNom")).toString();
        QCOMPARE(name.left(4), QString::fromUtf8("€Ÿÿ\x01"));
    }

    void startsLikeABankFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("looksRight");
        QTest::newRow("empty file") << QByteArray() << true;
        QTest::newRow("header first") << fileOf({Title()}) << true;
        QTest::newRow("a title first") << fileOf({Title()}).mid(402) << false;
        QTest::newRow("pdf") << QByteArray("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n") << false;
        QTest::newRow("random bytes") << QByteArray("\x8A\x01\xFFq", 4).repeated(1280) << false;
    }
    void startsLikeABankFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, looksRight);
        KV_FILE_ENGINE_ONLY(); // no table involved
        TempProgramDir dir;
        const QString path = writeFile(dir.file(QStringLiteral("f")), bytes);
        QCOMPARE(BankFileImporter::startsLikeBankFile(path), looksRight);
    }

    // A bad record keeps the rows before it, and says which block it is.
    void aBadRecordNamesItsBlockAndKeepsTheRowsBeforeIt()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        Title bad;
        bad.vencimento = QStringLiteral("300226");
        const Outcome o = importBytes(fileOf({Title(), Title(), bad, Title()}));
        QCOMPARE(o.error, QStringLiteral("Bloco 4: '30/02/2026' não é uma data válida"));
        QCOMPARE(rows().size(), 2);
    }

    // A full disk used to leave the table empty, or with the rows before the failure.
    void aDatabaseThatCannotGrowKeepsThePreviousTitles()
    {
        KV_FILE_ENGINE_ONLY();
        TempProgramDir dir;
        QCOMPARE(importBytes(fileOf(QList<Title>(40))).error, QString());
        QSqlQuery q(Database::connection());
        QVERIFY(q.exec(QStringLiteral("PRAGMA page_count")) && q.next());
        const int pages = q.value(0).toInt();
        QVERIFY(q.exec(QStringLiteral("PRAGMA max_page_count = %1").arg(pages + 3)));
        const Outcome o = importBytes(fileOf(QList<Title>(3000)));
        QCOMPARE(o.error, QStringLiteral("Disco cheio: a carga foi desfeita e os títulos "
                                         "anteriores foram mantidos."));
        QVERIFY(!o.completed);
        QCOMPARE(rows().size(), 40);
    }

    // A table with one late-fee column only used to lose its titles to an import that then
    // stopped at the first title with a late fee.
    void aTableMissingAColumnIsRefusedBeforeEmptying_data()
    {
        QTest::addColumn<QString>("create");
        QTest::addColumn<QString>("message");
        QTest::newRow("half upgraded")
            << (BlqStatements::createTable().joined(false).chopped(1) +
                QStringLiteral(", BlqValMul MONEY)"))
            << "A tabela Blq não tem as colunas BlqDatMul, BlqPixEmv; a carga não foi feita e "
               "os títulos foram mantidos.";
        QTest::newRow("somebody else's")
            << "CREATE TABLE Blq (BlqSeq INTEGER PRIMARY KEY, BlqNosNum VARCHAR(11), Outro TEXT)"
            << "";
    }
    void aTableMissingAColumnIsRefusedBeforeEmptying()
    {
        QFETCH(QString, create);
        QFETCH(QString, message);
        KV_FILE_ENGINE_ONLY();
        TempProgramDir dir;
        QSqlQuery q(Database::connection());
        QVERIFY(q.exec(QStringLiteral("DROP TABLE Blq")));
        QVERIFY(q.exec(create));
        QVERIFY(q.exec(QStringLiteral("INSERT INTO Blq (BlqNosNum) VALUES ('antigo')")));
        QStringList columnsBefore;
        {
            DbTable t;
            t.open();
            columnsBefore = t.fieldNames();
        }
        Title fee;
        fee.multaCodigo = QStringLiteral("1");
        fee.multa = BankFileWriter::cents(200);
        fee.multaData = QStringLiteral("010127");
        const QString path = writeFile(dir.file(QStringLiteral("b.rem")), fileOf({fee}));
        DbTable table;
        BankFileImporter importer(table);
        try {
            importer.importFile(path);
            QFAIL("imported into a table without the columns it needs");
        } catch (const KvError& e) {
            if (!message.isEmpty())
                QCOMPARE(e.message(), message);
            QVERIFY(e.message().contains(QStringLiteral("BlqDatMul")));
        }
        table.close();
        QCOMPARE(rows().size(), 1);
        QCOMPARE(rows().first().value(QStringLiteral("BlqNosNum")).toString(),
                 QStringLiteral("antigo"));
        DbTable after;
        after.open();
        QCOMPARE(after.fieldNames(), columnsBefore); // nothing added to it either
    }
};

QTEST_GUILESS_MAIN(TstBankFileImporter)
#include "tst_bankfileimporter.moc"

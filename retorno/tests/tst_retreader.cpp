// The return file reader over files written in both layouts: what it takes from each field,
// and every way a file can be wrong, each refused with its line and nothing read.
#include "KvError.h"
#include "RetCodes.h"
#include "RetDivergence.h"
#include "RetFileWriter.h"
#include "RetReader.h"

#include <QtTest>

using Format = RetFile::Format;
Q_DECLARE_METATYPE(RetFile::Format)

namespace {
RetOccurrence sample(const QString& code)
{
    RetOccurrence o;
    o.ageCod = QStringLiteral("0341");
    o.ctrCod = QStringLiteral("001234567");
    o.nosNum = QStringLiteral("00000000019");
    o.seuNum = QStringLiteral("DOC0000001");
    o.codOco = code;
    o.datOco = QDate(2026, 11, 30);
    o.datCre = QDate(2026, 12, 1);
    o.datVen = QDate(2026, 11, 25);
    o.titVal = 123456;
    o.valPag = 123000;
    o.valEnc = 789;
    o.valDst = 100;
    o.valAbt = 356;
    o.valTar = 250;
    o.motRej = QStringLiteral("0816");
    o.payerName = QStringLiteral("JOÃO DA CONCEIÇÃO");
    return o;
}

QByteArray fileOf(Format f, const QList<RetOccurrence>& list)
{
    RetFileWriter w(f, QDate(2026, 12, 1), QStringLiteral("CEDENTE AÇÚCAR"));
    for (const RetOccurrence& o : list)
        w.add(o);
    return w.bytes();
}

QString errorOf(const QByteArray& bytes)
{
    try {
        RetReader::read(bytes);
    } catch (const KvError& e) {
        return e.message();
    }
    return {};
}

QByteArray spoil(Format f, int lineIndex, int column, const QByteArray& with)
{
    RetFileWriter w(f);
    w.add(sample(QStringLiteral("06"))).add(sample(QStringLiteral("02")));
    QList<QByteArray> lines = w.lines();
    if (lineIndex < 0)
        lineIndex += lines.size();
    lines[lineIndex].replace(column - 1, with.size(), with);
    return RetFileWriter::join(lines);
}
} // namespace

class TstRetReader : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsEveryField_data()
    {
        QTest::addColumn<Format>("format");
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::newRow("400 CR LF") << Format::Cnab400 << QByteArray("\r\n");
        QTest::newRow("400 LF") << Format::Cnab400 << QByteArray("\n");
        QTest::newRow("240 CR LF") << Format::Cnab240 << QByteArray("\r\n");
        QTest::newRow("240 LF") << Format::Cnab240 << QByteArray("\n");
    }
    void readsEveryField()
    {
        QFETCH(Format, format);
        QFETCH(QByteArray, lineEnd);
        RetFileWriter w(format, QDate(2026, 12, 1), QStringLiteral("CEDENTE AÇÚCAR"));
        RetOccurrence two = sample(QStringLiteral("28"));
        two.nosNum = QStringLiteral("00000000027");
        two.valPag = 0;
        two.datCre = QDate();
        w.add(sample(QStringLiteral("06"))).add(two);
        const RetFile file = RetReader::read(RetFileWriter::join(w.lines(), lineEnd));
        QCOMPARE(file.format, format);
        QCOMPARE(file.fileDate, QDate(2026, 12, 1));
        QCOMPARE(file.beneficiary, QStringLiteral("CEDENTE AÇÚCAR"));
        QCOMPARE(file.occurrences.size(), 2);
        QCOMPARE(file.sumPaid, 123000);
        const RetOccurrence& o = file.occurrences.first();
        const RetOccurrence e = sample(QStringLiteral("06"));
        QCOMPARE(o.ageCod, e.ageCod);
        QCOMPARE(o.ctrCod, e.ctrCod);
        QCOMPARE(o.nosNum, e.nosNum);
        QCOMPARE(o.seuNum, e.seuNum);
        QCOMPARE(o.codOco, e.codOco);
        QCOMPARE(o.datOco, e.datOco);
        QCOMPARE(o.datCre, e.datCre);
        QCOMPARE(o.datVen, e.datVen);
        QCOMPARE(o.titVal, e.titVal);
        QCOMPARE(o.valPag, e.valPag);
        QCOMPARE(o.valEnc, e.valEnc);
        QCOMPARE(o.valDst, e.valDst);
        QCOMPARE(o.valAbt, e.valAbt);
        QCOMPARE(o.valTar, e.valTar);
        QCOMPARE(o.motRej, e.motRej);
        QCOMPARE(o.line, 2 + (format == Format::Cnab240 ? 1 : 0));
        if (format == Format::Cnab240)
            QCOMPARE(o.payerName, e.payerName);
        QCOMPARE(file.occurrences.at(1).codOco, QStringLiteral("28"));
        QVERIFY(!file.occurrences.at(1).datCre.isValid()); // zeros are no date
    }

    void refusesBrokenFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        const RetOccurrence s = sample(QStringLiteral("06"));
        const QByteArray f400 = fileOf(Format::Cnab400, {s, s});
        const QByteArray f240 = fileOf(Format::Cnab240, {s, s});

        QTest::newRow("empty") << QByteArray() << RetReader::notReturnFileMessage();
        QTest::newRow("other length") << QByteArray(300, ' ') + "\r\n"
                                      << RetReader::notReturnFileMessage();
        QTest::newRow("400 of another bank")
            << spoil(Format::Cnab400, 0, 77, "237") << RetReader::notReturnFileMessage();
        QTest::newRow("400 remittance")
            << spoil(Format::Cnab400, 0, 2, "1REMESSA") << RetReader::notReturnFileMessage();
        QTest::newRow("240 of another bank")
            << spoil(Format::Cnab240, 0, 1, "237") << RetReader::notReturnFileMessage();
        QTest::newRow("240 remittance")
            << spoil(Format::Cnab240, 0, 143, "1") << RetReader::notReturnFileMessage();

        QByteArray shortLine = f400;
        shortLine.remove(402 + 399, 1); // second line one short
        QTest::newRow("400 short line")
            << shortLine
            << QStringLiteral("Linha 2: a linha tem 399 caracteres; as linhas deste arquivo de "
                              "retorno têm 400.");
        QTest::newRow("400 trailer count")
            << spoil(Format::Cnab400, -1, 18, "00000003")
            << QStringLiteral("Arquivo de retorno incompleto: o trailer indica 3 títulos e o "
                              "arquivo tem 2.");
        QTest::newRow("400 trailer sum")
            << spoil(Format::Cnab400, -1, 26, "00000000000001")
            << QStringLiteral("Arquivo de retorno inconsistente: o trailer indica a soma paga de "
                              "1 centavos e os títulos somam 246000 centavos.");
        QTest::newRow("400 no trailer")
            << f400.left(f400.size() - 402)
            << QStringLiteral("Arquivo de retorno incompleto: falta o registro trailer no fim "
                              "do arquivo.");
        QTest::newRow("400 sequence") << spoil(Format::Cnab400, 2, 395, "000007")
                                      << QStringLiteral("Linha 3: o número sequencial é "
                                                        "\"000007\"; esperado 3.");
        QTest::newRow("400 unknown type")
            << spoil(Format::Cnab400, 1, 1, "5")
            << QStringLiteral("Linha 2: registro de tipo \"5\" não esperado; um arquivo de "
                              "retorno traz só os tipos 0, 1 e 9.");
        QTest::newRow("400 bad money")
            << spoil(Format::Cnab400, 1, 254, "12A")
            << QStringLiteral("Linha 2: Valor pago inválido nas colunas 254 a 266 "
                              "(\"12A0000123000\").");
        QTest::newRow("400 bad date") << spoil(Format::Cnab400, 1, 111, "310226")
                                      << QStringLiteral("Linha 2: Data da ocorrência inválida "
                                                        "nas colunas 111 a 116 (\"310226\").");
        QTest::newRow("400 after trailer")
            << f400 + f400.mid(402, 402)
            << QStringLiteral("Linha 5: o número sequencial é \"000002\"; esperado 5.");

        // 240: lines are 0 header, 1 batch header, 2 T, 3 U, 4 T, 5 U, 6 batch trailer, 7 file
        QList<QByteArray> lines = RetFileWriter(Format::Cnab240).add(s).add(s).lines();
        QList<QByteArray> noU = lines;
        noU.removeAt(3);
        QTest::newRow("240 T without U")
            << RetFileWriter::join(noU)
            << QStringLiteral("Linha 3: segmento T sem o seu segmento U.");
        QList<QByteArray> noT = lines;
        noT.removeAt(4);
        QTest::newRow("240 U without T")
            << RetFileWriter::join(noT)
            << QStringLiteral("Linha 5: segmento U sem o seu segmento T.");
        QList<QByteArray> lastT = lines;
        lastT.removeAt(5);
        QTest::newRow("240 last T without U")
            << RetFileWriter::join(lastT)
            << QStringLiteral("Linha 5: segmento T sem o seu segmento U.");
        QTest::newRow("240 other bank inside")
            << spoil(Format::Cnab240, 3, 1, "001")
            << QStringLiteral("Linha 4: o banco nas colunas 1 a 3 é \"001\", não 842.");
        QTest::newRow("240 batch count")
            << spoil(Format::Cnab240, 6, 18, "000005")
            << QStringLiteral("Linha 7: Arquivo de retorno incompleto: o trailer do lote indica "
                              "5 linhas e o lote tem 6.");
        QTest::newRow("240 file count")
            << spoil(Format::Cnab240, 7, 24, "000009")
            << QStringLiteral("Arquivo de retorno incompleto: o trailer indica 1 lotes e 9 "
                              "linhas e o arquivo tem 1 lotes e 8 linhas.");
        QTest::newRow("240 no trailer")
            << f240.left(f240.size() - 242)
            << QStringLiteral("Arquivo de retorno incompleto: falta o trailer do arquivo.");
        QTest::newRow("240 U of other code")
            << spoil(Format::Cnab240, 3, 16, "09")
            << QStringLiteral("Linha 4: o segmento U traz a ocorrência 09 e o seu segmento T, "
                              "06.");
        QTest::newRow("240 segment Y")
            << spoil(Format::Cnab240, 3, 14, "Y")
            << QStringLiteral("Linha 3: segmento T sem o seu segmento U.");
    }
    void refusesBrokenFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QCOMPARE(errorOf(bytes), error);
    }

    void endOfFileMarkIsAccepted()
    {
        const QByteArray f = fileOf(Format::Cnab400, {sample(QStringLiteral("02"))});
        QCOMPARE(RetReader::read(f + "\x1a").occurrences.size(), 1);
        QCOMPARE(RetReader::read(f.chopped(2)).occurrences.size(), 1); // no end on the last
    }

    void codesAndSituacao_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("situacao");
        QTest::newRow("02") << "02"
                            << "entrada confirmada"
                            << "Em aberto";
        QTest::newRow("03") << "03"
                            << "entrada rejeitada"
                            << "Rejeitado";
        QTest::newRow("06") << "06"
                            << "liquidação"
                            << "Liquidado";
        QTest::newRow("09") << "09"
                            << "baixa"
                            << "Baixado";
        QTest::newRow("10") << "10"
                            << "baixa a pedido do beneficiário"
                            << "Baixado";
        QTest::newRow("17") << "17"
                            << "liquidação após baixa"
                            << "Liquidado";
        QTest::newRow("23") << "23"
                            << "encaminhado a protesto"
                            << "Em protesto";
        QTest::newRow("14") << "14"
                            << "vencimento alterado"
                            << "Em aberto";
        QTest::newRow("unknown") << "77"
                                 << "ocorrência 77"
                                 << "Em aberto";
    }
    void codesAndSituacao()
    {
        QFETCH(QString, code);
        QFETCH(QString, text);
        QFETCH(QString, situacao);
        QCOMPARE(RetCodes::occurrenceText(code), text);
        QCOMPARE(RetCodes::situacaoText(RetCodes::situacaoOf(code)), situacao);
    }

    void reasonTexts()
    {
        QCOMPARE(RetCodes::reasonsText(QStringLiteral("0845990000")),
                 QStringLiteral("Nosso número inválido; Nome do sacado não informado; motivo 99"));
        QCOMPARE(RetCodes::reasonsText(QString()), QString());
    }

    void divergences_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<qint64>("paid");
        QTest::addColumn<qint64>("charges");
        QTest::addColumn<QDate>("paidOn");
        QTest::addColumn<qint64>("interestPerDay");
        QTest::addColumn<QString>("divergence");
        const QDate due(2026, 11, 10);
        QTest::newRow("in full on time")
            << "06" << qint64(10000) << qint64(0) << due << qint64(50) << QString();
        QTest::newRow("a centavo short")
            << "06" << qint64(9999) << qint64(0) << due << qint64(0) << "Pago a menor";
        QTest::newRow("late without charges")
            << "17" << qint64(10000) << qint64(0) << due.addDays(1) << qint64(50)
            << "Pago após o vencimento sem encargos";
        QTest::newRow("late with charges")
            << "06" << qint64(10000) << qint64(30) << due.addDays(3) << qint64(10) << QString();
        QTest::newRow("late, title charges nothing")
            << "06" << qint64(10000) << qint64(0) << due.addDays(3) << qint64(0) << QString();
        QTest::newRow("short and late")
            << "06" << qint64(5000) << qint64(0) << due.addDays(3) << qint64(10)
            << "Pago a menor; Pago após o vencimento sem encargos";
        QTest::newRow("fee never diverges")
            << "28" << qint64(0) << qint64(0) << due.addDays(3) << qint64(10) << QString();
    }
    void divergences()
    {
        QFETCH(QString, code);
        QFETCH(qint64, paid);
        QFETCH(qint64, charges);
        QFETCH(QDate, paidOn);
        QFETCH(qint64, interestPerDay);
        QFETCH(QString, divergence);
        RetDivergence::Settlement s;
        s.codOco = code;
        s.valPag = paid - 300;
        s.valDst = 200; // discount and rebate count as paid
        s.valAbt = 100;
        s.valEnc = charges;
        s.datOco = paidOn;
        s.titVal = 10000;
        RetDivergence::Title t;
        t.titVal = 10000;
        t.jurDiaVal = interestPerDay;
        t.datVen = QDate(2026, 11, 10);
        QCOMPARE(RetDivergence::of(s, t), divergence);
    }
};

QTEST_GUILESS_MAIN(TstRetReader)
#include "tst_retreader.moc"

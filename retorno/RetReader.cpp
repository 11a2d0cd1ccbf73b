#include "RetReader.h"

#include "Cp1252.h"
#include "KvError.h"
#include "RetLayout.h"

#include <QFile>
#include <QList>

using RetLayout::Field;

namespace {
constexpr qint64 kSumLimit = Q_INT64_C(999999999999999999); // far beyond any trailer

QString nothingStored()
{
    return QStringLiteral("Nada foi gravado. Confira se é o arquivo certo ou peça ao banco "
                          "que o envie de novo.");
}

[[noreturn]] void fail(int line, const QString& why)
{
    throw KvError(QStringLiteral("Linha %1: %2").arg(line).arg(why), nothingStored());
}

[[noreturn]] void notReturn(const QString& advice = QString())
{
    throw KvError(RetReader::notReturnFileMessage(),
                  advice.isEmpty() ? QStringLiteral("Nada foi gravado. Escolha o arquivo de "
                                                    "retorno que o banco 842 enviou.")
                                   : advice);
}

QString remittanceAdvice()
{
    return QStringLiteral("Ele parece ser um arquivo de remessa (o que é enviado ao banco). "
                          "Nada foi gravado; escolha o arquivo de retorno que o banco devolveu.");
}

struct Line {
    QByteArrayView bytes;
    int number = 0;

    QByteArrayView raw(Field f) const { return bytes.sliced(f.first - 1, f.width()); }
    QString text(Field f) const
    {
        const QByteArrayView v = raw(f);
        return Cp1252::decode(v.data(), v.size()).trimmed();
    }
    char at(int column) const { return bytes.at(column - 1); }

    QString columns(Field f) const
    {
        return f.first == f.last ? QStringLiteral("coluna %1").arg(f.first)
                                 : QStringLiteral("colunas %1 a %2").arg(f.first).arg(f.last);
    }

    bool allDigits(Field f) const
    {
        for (char c : raw(f)) {
            if (c < '0' || c > '9')
                return false;
        }
        return true;
    }
    bool blank(Field f) const
    {
        for (char c : raw(f)) {
            if (c != ' ')
                return false;
        }
        return true;
    }

    qint64 number64(Field f, const QString& what) const
    {
        if (blank(f))
            return 0;
        if (!allDigits(f))
            fail(number,
                 QStringLiteral("%1 inválido nas %2 (\"%3\").").arg(what, columns(f), text(f)));
        qint64 n = 0;
        for (char c : raw(f))
            n = n * 10 + (c - '0');
        return n;
    }

    QDate date(Field f, const QString& what) const
    {
        if (blank(f) || raw(f).count('0') == f.width())
            return {};
        if (!allDigits(f))
            fail(number,
                 QStringLiteral("%1 inválida nas %2 (\"%3\").").arg(what, columns(f), text(f)));
        const QByteArrayView v = raw(f);
        auto two = [&](int i) { return (v.at(i) - '0') * 10 + (v.at(i + 1) - '0'); };
        const int day = two(0), month = two(2);
        const int year = f.width() == 6 ? 2000 + two(4) : two(4) * 100 + two(6);
        const QDate d(year, month, day);
        if (!d.isValid())
            fail(number,
                 QStringLiteral("%1 inválida nas %2 (\"%3\").").arg(what, columns(f), text(f)));
        return d;
    }
};

QList<Line> splitLines(const QByteArray& bytes)
{
    QList<Line> lines;
    lines.reserve(bytes.size() / RetLayout::Cnab240::kLineLength + 1);
    qsizetype start = 0;
    int number = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const bool ended = end >= 0;
        if (!ended)
            end = bytes.size();
        qsizetype stop = end;
        if (ended && stop > start && bytes.at(stop - 1) == '\r')
            --stop;
        QByteArrayView v(bytes.constData() + start, stop - start);
        start = end + 1;
        // An end-of-file mark left by old transfer programs closes the file.
        if (v == "\x1a" && start >= bytes.size())
            break;
        lines.append(Line{v, ++number});
    }
    return lines;
}

void checkLengths(const QList<Line>& lines, int length)
{
    for (const Line& l : lines) {
        if (l.bytes.size() != length) {
            fail(l.number, QStringLiteral("a linha tem %1 caracteres; as linhas deste arquivo "
                                          "de retorno têm %2.")
                               .arg(l.bytes.size())
                               .arg(length));
        }
    }
}

qint64 add(qint64 sum, qint64 value, int line)
{
    if (sum > kSumLimit - value)
        fail(line, QStringLiteral("a soma dos valores pagos passa do que um arquivo de retorno "
                                  "pode trazer."));
    return sum + value;
}

QString reasonsOf(const Line& l, Field f)
{
    // Kept as read: blanks at the end carry nothing.
    QString r = l.text(f);
    return r;
}

void readTitle(const Line& l, const RetLayout::TitleFields& f, RetOccurrence& o)
{
    o.nosNum = l.text(f.ourNumber);
    o.seuNum = l.text(f.yourNumber);
    o.datVen = l.date(f.dueDate, QStringLiteral("Data de vencimento"));
    o.titVal = l.number64(f.titleValue, QStringLiteral("Valor do título"));
    o.valTar = l.number64(f.fee, QStringLiteral("Valor da tarifa"));
    o.motRej = reasonsOf(l, f.reasons);
}

void readPayment(const Line& l, const RetLayout::PaymentFields& f, RetOccurrence& o)
{
    o.valEnc = l.number64(f.charges, QStringLiteral("Valor de juros e multa"));
    o.valDst = l.number64(f.discount, QStringLiteral("Valor do desconto"));
    o.valAbt = l.number64(f.rebate, QStringLiteral("Valor do abatimento"));
    o.valPag = l.number64(f.paid, QStringLiteral("Valor pago"));
    o.datOco = l.date(f.occurrenceDate, QStringLiteral("Data da ocorrência"));
    o.datCre = l.date(f.creditDate, QStringLiteral("Data do crédito"));
}

// CNAB 400 -------------------------------------------------------------------------------

RetFile read400(const QList<Line>& lines)
{
    namespace L = RetLayout::Cnab400;
    const Line& h = lines.first();
    if (h.at(1) != '0')
        notReturn();
    if (h.at(2) == '1' || h.raw({3, 9}) == "REMESSA")
        notReturn(remittanceAdvice());
    if (h.at(2) != '2' || h.raw(L::kLiteral) != "RETORNO" || h.raw(L::kBankCode) != "842")
        notReturn();
    checkLengths(lines, L::kLineLength);

    RetFile file;
    file.format = RetFile::Format::Cnab400;
    file.occurrences.reserve(lines.size());
    file.fileDate = h.date(L::kFileDate, QStringLiteral("Data do arquivo"));
    file.beneficiary = h.text(L::kBeneficiary);

    const Line* trailer = nullptr;
    for (const Line& l : lines) {
        if (l.number64(L::kSequence, QStringLiteral("Número sequencial")) != l.number)
            fail(l.number, QStringLiteral("o número sequencial é \"%1\"; esperado %2.")
                               .arg(l.text(L::kSequence))
                               .arg(l.number));
        if (l.number == 1)
            continue;
        if (trailer)
            fail(l.number, QStringLiteral("há registros depois do trailer."));
        const char type = l.at(1);
        if (type == '9') {
            trailer = &l;
            continue;
        }
        if (type != '1')
            fail(l.number, QStringLiteral("registro de tipo \"%1\" não esperado; um arquivo de "
                                          "retorno traz só os tipos 0, 1 e 9.")
                               .arg(QString::fromLatin1(l.raw(L::kType))));
        RetOccurrence o;
        o.line = l.number;
        o.ageCod = l.text(L::kAgency);
        o.ctrCod = l.text(L::kContract);
        if (!l.allDigits(L::kOccurrence))
            fail(l.number, QStringLiteral("código de ocorrência inválido nas %1 (\"%2\").")
                               .arg(l.columns(L::kOccurrence), l.text(L::kOccurrence)));
        o.codOco = QString::fromLatin1(l.raw(L::kOccurrence));
        readTitle(l, L::kTitle, o);
        readPayment(l, L::kPayment, o);
        file.sumPaid = add(file.sumPaid, o.valPag, l.number);
        file.occurrences.append(o);
    }
    if (!trailer || trailer->at(2) != '2')
        throw KvError(QStringLiteral("Arquivo de retorno incompleto: falta o registro trailer "
                                     "no fim do arquivo."),
                      nothingStored());
    const qint64 count = trailer->number64(L::kTrailerCount, QStringLiteral("Quantidade"));
    if (count != file.occurrences.size())
        throw KvError(QStringLiteral("Arquivo de retorno incompleto: o trailer indica %1 "
                                     "títulos e o arquivo tem %2.")
                          .arg(count)
                          .arg(file.occurrences.size()),
                      nothingStored());
    const qint64 sum = trailer->number64(L::kTrailerSum, QStringLiteral("Soma"));
    if (sum != file.sumPaid)
        throw KvError(QStringLiteral("Arquivo de retorno inconsistente: o trailer indica a soma "
                                     "paga de %1 centavos e os títulos somam %2 centavos.")
                          .arg(sum)
                          .arg(file.sumPaid),
                      nothingStored());
    return file;
}

// CNAB 240 -------------------------------------------------------------------------------

QString lastDigits(const QString& zeroFilled, int keep)
{
    // Our codes are shorter than the layout's fields: the zeros in front are the filling.
    QString s = zeroFilled;
    while (s.size() > keep && s.startsWith(QLatin1Char('0')))
        s.remove(0, 1);
    return s;
}

RetFile read240(const QList<Line>& lines)
{
    namespace L = RetLayout::Cnab240;
    const Line& h = lines.first();
    if (h.raw(L::kBankCode) != "842" || h.at(8) != '0')
        notReturn();
    if (h.at(143) == '1')
        notReturn(remittanceAdvice());
    if (h.at(143) != '2')
        notReturn();
    checkLengths(lines, L::kLineLength);

    RetFile file;
    file.format = RetFile::Format::Cnab240;
    file.occurrences.reserve(lines.size() / 2);
    file.fileDate = h.date(L::kFileDate, QStringLiteral("Data do arquivo"));
    file.beneficiary = h.text(L::kBeneficiary);

    const Line* fileTrailer = nullptr;
    const Line* batchHeader = nullptr;
    int batches = 0;
    RetOccurrence pending; // a segment T waiting for its U
    bool waitingU = false;
    for (const Line& l : lines) {
        if (l.raw(L::kBankCode) != "842")
            fail(l.number, QStringLiteral("o banco nas colunas 1 a 3 é \"%1\", não 842.")
                               .arg(l.text(L::kBankCode)));
        if (l.number == 1)
            continue;
        if (fileTrailer)
            fail(l.number, QStringLiteral("há registros depois do trailer do arquivo."));
        const char type = l.at(8);
        const char segment = type == '3' ? l.at(14) : '\0';
        if (waitingU && segment != 'U')
            fail(pending.line, QStringLiteral("segmento T sem o seu segmento U."));
        switch (type) {
        case '1':
            if (batchHeader)
                fail(l.number, QStringLiteral("um lote começa antes do fim do anterior."));
            batchHeader = &l;
            break;
        case '3': {
            if (!batchHeader)
                fail(l.number, QStringLiteral("registro de detalhe fora de um lote."));
            if (!l.allDigits(L::kOccurrence))
                fail(l.number, QStringLiteral("código de ocorrência inválido nas %1 (\"%2\").")
                                   .arg(l.columns(L::kOccurrence), l.text(L::kOccurrence)));
            const QString code = QString::fromLatin1(l.raw(L::kOccurrence));
            if (segment == 'T') {
                pending = RetOccurrence();
                pending.line = l.number;
                pending.codOco = code;
                pending.ageCod = lastDigits(l.text(L::kAgency), 4);
                pending.ctrCod = lastDigits(l.text(L::kContract), 8) + l.text(L::kContractDigit);
                readTitle(l, L::kTitle, pending);
                pending.payerName = l.text(L::kPayerName);
                waitingU = true;
            } else if (segment == 'U') {
                if (!waitingU)
                    fail(l.number, QStringLiteral("segmento U sem o seu segmento T."));
                if (code != pending.codOco)
                    fail(l.number, QStringLiteral("o segmento U traz a ocorrência %1 e o seu "
                                                  "segmento T, %2.")
                                       .arg(code, pending.codOco));
                readPayment(l, L::kPayment, pending);
                file.sumPaid = add(file.sumPaid, pending.valPag, l.number);
                file.occurrences.append(pending);
                waitingU = false;
            } else {
                fail(l.number, QStringLiteral("segmento \"%1\" não esperado; o retorno traz os "
                                              "segmentos T e U.")
                                   .arg(QString::fromLatin1(l.raw(L::kSegment))));
            }
            break;
        }
        case '5': {
            if (!batchHeader)
                fail(l.number, QStringLiteral("trailer de lote sem o seu header."));
            const qint64 declared =
                l.number64(L::kBatchLines, QStringLiteral("Quantidade de linhas do lote"));
            const qint64 actual = l.number - batchHeader->number + 1;
            if (declared != actual)
                fail(l.number, QStringLiteral("Arquivo de retorno incompleto: o trailer do lote "
                                              "indica %1 linhas e o lote tem %2.")
                                   .arg(declared)
                                   .arg(actual));
            batchHeader = nullptr;
            ++batches;
            break;
        }
        case '9':
            if (batchHeader)
                fail(l.number, QStringLiteral("o arquivo termina dentro de um lote."));
            fileTrailer = &l;
            break;
        default:
            fail(l.number, QStringLiteral("registro de tipo \"%1\" não esperado na coluna 8.")
                               .arg(QString::fromLatin1(l.raw(L::kType))));
        }
    }
    if (waitingU)
        fail(pending.line, QStringLiteral("segmento T sem o seu segmento U."));
    if (!fileTrailer)
        throw KvError(QStringLiteral("Arquivo de retorno incompleto: falta o trailer do arquivo."),
                      nothingStored());
    const qint64 declaredBatches =
        fileTrailer->number64(L::kFileBatches, QStringLiteral("Quantidade de lotes"));
    const qint64 declaredLines =
        fileTrailer->number64(L::kFileLines, QStringLiteral("Quantidade de linhas"));
    if (declaredBatches != batches || declaredLines != lines.size())
        throw KvError(QStringLiteral("Arquivo de retorno incompleto: o trailer indica %1 lotes "
                                     "e %2 linhas e o arquivo tem %3 lotes e %4 linhas.")
                          .arg(declaredBatches)
                          .arg(declaredLines)
                          .arg(batches)
                          .arg(lines.size()),
                      nothingStored());
    return file;
}
} // namespace

QString RetReader::notReturnFileMessage()
{
    return QStringLiteral("O arquivo escolhido não parece um arquivo de retorno do banco 842.");
}

RetFile RetReader::read(const QByteArray& bytes)
{
    const QList<Line> lines = splitLines(bytes);
    if (lines.isEmpty())
        notReturn();
    const qsizetype first = lines.first().bytes.size();
    if (first == RetLayout::Cnab400::kLineLength)
        return read400(lines);
    if (first == RetLayout::Cnab240::kLineLength)
        return read240(lines);
    notReturn();
}

RetFile RetReader::readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw KvError(QStringLiteral("Não foi possível abrir o arquivo de retorno %1: %2")
                          .arg(path, f.errorString()),
                      QStringLiteral("Confira o nome e a pasta do arquivo."));
    return read(f.readAll());
}

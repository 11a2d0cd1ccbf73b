#include "RelOcorrencias.h"

#include "Database.h"
#include "DbQuery.h"
#include "KvError.h"
#include "Regional.h"
#include "RetCodes.h"
#include "RetDivergence.h"
#include "RetProcessor.h"
#include "RetStatements.h"
#include "RetTables.h"
#include "TRpPrinter.h"

#include <QMap>

static void initResources()
{
    Q_INIT_RESOURCE(retorno);
}

namespace {
// Tipo: "S" a section's title, "H" the column heads of a list, empty an ordinary line.
const QStringList kFields = {
    QStringLiteral("Tipo"), QStringLiteral("Secao"), QStringLiteral("Rotulo"),
    QStringLiteral("C1"),   QStringLiteral("C2"),    QStringLiteral("C3"),
    QStringLiteral("C4"),   QStringLiteral("C5"),    QStringLiteral("C6")};

struct Line {
    QString nosNum, seuNum, sacado, where, text;
    qint64 value = 0, paid = 0;
};
} // namespace

RelOcorrencias::RelOcorrencias() : m_rows(QStringLiteral("qryOcorrencias"), kFields)
{
    initResources();
    rptOcorrencias = TRpReport::fromFile(definitionPath());
    rptOcorrencias->DataSet = &m_rows;
    // Column heads print bold, as the column header band of a report does.
    rptOcorrencias->bindBeforePrint(QStringLiteral("RpBand2BeforePrint"), [this](TRpBand&, bool&) {
        const bool head = m_rows.displayText(QStringLiteral("Tipo")) == QStringLiteral("H");
        for (const QString& c :
             {QStringLiteral("qdtC1"), QStringLiteral("qdtC2"), QStringLiteral("qdtC3"),
              QStringLiteral("qdtC4"), QStringLiteral("qdtC5"), QStringLiteral("qdtC6")})
            rptOcorrencias->dbText(c).Font.bold = head;
    });
}

RelOcorrencias::~RelOcorrencias() = default;

QString RelOcorrencias::definitionPath()
{
    return QStringLiteral(":/retorno/rptOcorrencias.json");
}

void RelOcorrencias::select(int fileSeq)
{
    RetTables::ensure(Database::connection());
    m_rows.clear();
    DbQuery f;
    f.setStatement(RetStatements::files());
    f.open();
    while (!f.eof() && fileSeq != 0 && f.asInteger(QStringLiteral("RetArqSeq")) != fileSeq)
        f.next();
    if (f.eof())
        throw KvError(QStringLiteral("Nenhum arquivo de retorno foi processado."),
                      QStringLiteral("Processe um arquivo de retorno antes de pedir o relatório."));
    fileSeq = f.asInteger(QStringLiteral("RetArqSeq"));
    const QDateTime when = RetProcessor::processedAt(f.asString(QStringLiteral("RetArqPro")));
    rptOcorrencias->label(QStringLiteral("lblArquivo")).Caption =
        QStringLiteral("Arquivo %1 (CNAB %2) de %3, processado em %4")
            .arg(f.asString(QStringLiteral("RetArqNom")), f.asString(QStringLiteral("RetArqFmt")),
                 Regional::shortDate(f.asDate(QStringLiteral("RetArqDat"))),
                 Regional::dateTimeText(when));
    f.close();

    QMap<RetCodes::Kind, std::pair<int, qint64>> kinds;
    QMap<QString, int> reasons;
    QList<Line> rejected, divergent, unknown;
    DbQuery q;
    q.setStatement(RetStatements::occurrencesOfFile());
    q.setParam(QStringLiteral("ParmArq"), QString::number(fileSeq));
    for (q.open(); !q.eof(); q.next()) {
        const QString code = q.asString(QStringLiteral("RetCodOco"));
        const RetCodes::Kind kind = RetCodes::kindOf(code);
        const bool known = !q.isNull(QStringLiteral("BlqSeq"));
        Line l;
        l.nosNum = q.asString(QStringLiteral("RetNosNum"));
        l.seuNum = q.asString(QStringLiteral("RetSeuNum"));
        l.sacado = known ? q.asString(QStringLiteral("BlqSacNom")) : QString();
        l.value =
            known ? q.asCents(QStringLiteral("BlqTitVal")) : q.asCents(QStringLiteral("RetTitVal"));
        l.paid = q.asCents(QStringLiteral("RetValPag"));
        auto& k = kinds[kind];
        ++k.first;
        k.second += kind == RetCodes::Kind::Fee          ? q.asCents(QStringLiteral("RetValTar"))
                    : kind == RetCodes::Kind::Settlement ? l.paid
                                                         : l.value;
        if (kind == RetCodes::Kind::Rejection) {
            const QString motRej = q.asString(QStringLiteral("RetMotRej"));
            for (const QString& r : RetCodes::reasons(motRej))
                ++reasons[RetCodes::reasonText(r)];
            l.text = RetCodes::reasonsText(motRej);
            rejected << l;
        }
        if (!known) {
            l.where = q.asString(QStringLiteral("RetAgeCod")) + QLatin1Char('/') +
                      q.asString(QStringLiteral("RetCtrCod"));
            l.text = RetCodes::occurrenceText(code);
            unknown << l;
        } else if (RetCodes::isSettlement(code)) {
            RetDivergence::Settlement s;
            s.codOco = code;
            s.datOco = q.asDate(QStringLiteral("RetDatOco"));
            s.datVen = q.asDate(QStringLiteral("RetDatVen"));
            s.titVal = q.asCents(QStringLiteral("RetTitVal"));
            s.valPag = l.paid;
            s.valDst = q.asCents(QStringLiteral("RetValDst"));
            s.valAbt = q.asCents(QStringLiteral("RetValAbt"));
            s.valEnc = q.asCents(QStringLiteral("RetValEnc"));
            const RetDivergence::Title t{l.value, q.asCents(QStringLiteral("BlqJurDiaVal")),
                                         q.asCents(QStringLiteral("BlqValMul")),
                                         q.asDate(QStringLiteral("BlqDatVen"))};
            l.text = RetDivergence::of(s, t);
            if (!l.text.isEmpty())
                divergent << l;
        }
    }

    auto section = [&](const QString& title) { m_rows.append({QStringLiteral("S"), title}); };
    section(QStringLiteral("Resumo"));
    m_rows.append({QStringLiteral("H"), QString(), QString(), QString(), QString(), QString(),
                   QStringLiteral("Quantidade"), QStringLiteral("Valor")});
    using K = RetCodes::Kind;
    for (K kind :
         {K::Entry, K::Rejection, K::Settlement, K::WriteOff, K::Protest, K::Fee, K::Other}) {
        const auto k = kinds.value(kind);
        m_rows.append({QString(), QString(), RetCodes::kindName(kind), QString(), QString(),
                       QString(), QString::number(k.first), Regional::formatCents(k.second)});
        if (kind == K::Rejection) {
            for (auto it = reasons.cbegin(); it != reasons.cend(); ++it)
                m_rows.append({QString(), QString(), QStringLiteral("      ") + it.key(), QString(),
                               QString(), QString(), QString::number(it.value())});
        }
    }
    m_rows.append({});

    // "Nenhum." or "Nenhuma.", agreeing with the section's noun.
    auto list = [&](const QString& title, const QString& none, const QList<Line>& lines,
                    const QString& sixth, bool third) {
        section(title);
        if (lines.isEmpty()) {
            m_rows.append({QString(), QString(), none});
            m_rows.append({});
            return;
        }
        m_rows.append({QStringLiteral("H"), QString(), QString(), QStringLiteral("Nosso número"),
                       QStringLiteral("Seu número"),
                       third ? QStringLiteral("Sacado") : QStringLiteral("Agência/contrato"),
                       QStringLiteral("Valor"), QStringLiteral("Pago"), sixth});
        for (const Line& l : lines)
            m_rows.append({QString(), QString(), QString(), l.nosNum, l.seuNum,
                           third ? l.sacado : l.where, Regional::formatCents(l.value),
                           Regional::formatCents(l.paid), l.text});
        m_rows.append({});
    };
    const QString noTitle = QStringLiteral("Nenhum."), noOther = QStringLiteral("Nenhuma.");
    list(QStringLiteral("Títulos rejeitados"), noTitle, rejected, QStringLiteral("Motivos"), true);
    list(QStringLiteral("Divergências"), noOther, divergent, QStringLiteral("Divergência"), true);
    list(QStringLiteral("Ocorrências não identificadas"), noOther, unknown,
         QStringLiteral("Ocorrência"), false);
}

void RelOcorrencias::produce(TRpPrinter& store)
{
    rptOcorrencias->produce(store);
}

int RelOcorrencias::writePdf(const QString& path)
{
    return rptOcorrencias->writePdf(path);
}

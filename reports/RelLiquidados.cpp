#include "RelLiquidados.h"

#include "Database.h"
#include "DbQuery.h"
#include "Regional.h"
#include "RetDivergence.h"
#include "RetStatements.h"
#include "RetTables.h"
#include "TRpPrinter.h"

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

static void initResources()
{
    Q_INIT_RESOURCE(retorno);
}

namespace {
const QStringList kFields = {
    QStringLiteral("Grupo"),   QStringLiteral("NosNum"),     QStringLiteral("SeuNum"),
    QStringLiteral("Sacado"),  QStringLiteral("Vencimento"), QStringLiteral("Valor"),
    QStringLiteral("Pago"),    QStringLiteral("Encargos"),   QStringLiteral("Diferenca"),
    QStringLiteral("Credito"), QStringLiteral("Atraso"),     QStringLiteral("Divergencia")};

struct Totals {
    int titles = 0;
    qint64 value = 0, paid = 0, charges = 0, difference = 0;

    void add(const Totals& o)
    {
        titles += o.titles;
        value += o.value;
        paid += o.paid;
        charges += o.charges;
        difference += o.difference;
    }
    QStringList row(const QString& label) const
    {
        return {label,
                QString(),
                QString(),
                QString(),
                QString(),
                Regional::formatCents(value),
                Regional::formatCents(paid),
                Regional::formatCents(charges),
                Regional::formatCents(difference)};
    }
};

// The payer's column holds this many capitals of the report's font: a longer name is cut
// there rather than run over the due date beside it.
constexpr qsizetype kPayerChars = 33;

QString payer(const QString& name)
{
    const QString t = name.trimmed();
    return t.size() <= kPayerChars ? t : t.left(kPayerChars - 1).trimmed() + QChar(u'…');
}

QString titlesText(int n)
{
    return n == 1 ? QStringLiteral("1 título") : QStringLiteral("%1 títulos").arg(n);
}

// What a line is listed under: agência, contrato, and the beneficiary of an identified title.
struct Group {
    QString age, ctr, nomCed;
    bool known = false;
    bool nomCedNull = false;

    bool operator==(const Group&) const = default;
    // Identified before unidentified. Text compares by code point, as the file engine and a
    // server in the C locale do: a server in another collation does not reorder the report.
    bool operator<(const Group& o) const
    {
        if (int c = age.compare(o.age))
            return c < 0;
        if (int c = ctr.compare(o.ctr))
            return c < 0;
        if (known != o.known)
            return known;
        if (nomCedNull != o.nomCedNull)
            return nomCedNull;
        return nomCed.compare(o.nomCed) < 0;
    }
};

// One settlement as read, with what orders it on the report.
struct Line {
    int group = 0; // rank of its group once read
    qint64 seq = 0;
    QDate datCre;
    QString nosNum, seuNum, sacNom;
    RetDivergence::Settlement s;
    std::optional<RetDivergence::Title> title;
};

struct Lines {
    std::vector<Group> groups; // by rank
    std::vector<Line> lines;   // in the report's order
};

// Reads the settlements and orders them by group, credit date, nosso número, then as stored.
// The groups are few: each line keeps its group's rank, so that ordering 100,000 lines
// compares numbers rather than names.
Lines readLines(DbQuery& q)
{
    std::map<Group, int> seen;
    std::vector<const Group*> byIndex;
    Lines r;
    int last = -1;
    for (q.open(); !q.eof(); q.next()) {
        Group g;
        g.known = !q.isNull(QStringLiteral("BlqSeq"));
        g.age = q.asString(QStringLiteral("RetAgeCod"));
        g.ctr = q.asString(QStringLiteral("RetCtrCod"));
        g.nomCedNull = q.isNull(QStringLiteral("BlqNomCed"));
        g.nomCed = q.value(QStringLiteral("BlqNomCed")).toString();
        const bool known = g.known;
        if (last < 0 || !(*byIndex[last] == g)) {
            const auto [it, added] = seen.emplace(std::move(g), int(byIndex.size()));
            if (added)
                byIndex.push_back(&it->first);
            last = it->second;
        }
        Line l;
        l.group = last;
        l.seq = q.value(QStringLiteral("RetSeq")).toLongLong();
        l.datCre = q.asDate(QStringLiteral("RetDatCre"));
        l.nosNum = q.asString(QStringLiteral("RetNosNum"));
        l.seuNum = q.asString(QStringLiteral("RetSeuNum"));
        l.s.codOco = q.asString(QStringLiteral("RetCodOco"));
        l.s.datOco = q.asDate(QStringLiteral("RetDatOco"));
        l.s.datVen = q.asDate(QStringLiteral("RetDatVen"));
        l.s.titVal = q.asCents(QStringLiteral("RetTitVal"));
        l.s.valPag = q.asCents(QStringLiteral("RetValPag"));
        l.s.valDst = q.asCents(QStringLiteral("RetValDst"));
        l.s.valAbt = q.asCents(QStringLiteral("RetValAbt"));
        l.s.valEnc = q.asCents(QStringLiteral("RetValEnc"));
        if (known) {
            l.sacNom = q.asString(QStringLiteral("BlqSacNom"));
            l.title = RetDivergence::Title{
                q.asCents(QStringLiteral("BlqTitVal")), q.asCents(QStringLiteral("BlqJurDiaVal")),
                q.asCents(QStringLiteral("BlqValMul")), q.asDate(QStringLiteral("BlqDatVen"))};
        }
        r.lines.push_back(std::move(l));
    }
    std::vector<int> rank(byIndex.size());
    for (const auto& [g, index] : seen) {
        rank[index] = int(r.groups.size());
        r.groups.push_back(g);
    }
    for (Line& l : r.lines)
        l.group = rank[l.group];
    std::sort(r.lines.begin(), r.lines.end(), [](const Line& a, const Line& b) {
        if (a.group != b.group)
            return a.group < b.group;
        if (a.datCre != b.datCre)
            return a.datCre < b.datCre;
        if (int c = a.nosNum.compare(b.nosNum))
            return c < 0;
        return a.seq < b.seq;
    });
    return r;
}
} // namespace

RelLiquidados::RelLiquidados() : m_rows(QStringLiteral("qryLiquidados"), kFields)
{
    initResources();
    rptLiquidados = TRpReport::fromFile(definitionPath());
    rptLiquidados->DataSet = &m_rows;
}

RelLiquidados::~RelLiquidados() = default;

QString RelLiquidados::definitionPath()
{
    return QStringLiteral(":/retorno/rptLiquidados.json");
}

std::pair<QDate, QDate> RelLiquidados::lastFilePeriod(const QString& alias)
{
    RetTables::ensure(Database::connection(alias));
    DbQuery q(alias);
    q.setStatement(RetStatements::lastFileCredits());
    q.open();
    if (q.eof())
        return {};
    return {q.asDate(QStringLiteral("De")), q.asDate(QStringLiteral("Ate"))};
}

int RelLiquidados::select(const QDate& from, const QDate& to)
{
    RetTables::ensure(Database::connection());
    m_rows.clear();
    rptLiquidados->label(QStringLiteral("lblPeriodo")).Caption =
        QStringLiteral("Créditos de %1 a %2")
            .arg(Regional::shortDate(from), Regional::shortDate(to));
    DbQuery q;
    q.setStatement(RetStatements::liquidados());
    q.setParam(QStringLiteral("ParmDe"), from.toString(Qt::ISODate));
    q.setParam(QStringLiteral("ParmAte"), to.toString(Qt::ISODate));
    QString group;
    QString groupName;
    Totals groupTotals, all;
    auto closeGroup = [&] {
        if (group.isNull())
            return;
        m_rows.append(groupTotals.row(
            QStringLiteral("Total de %1: %2").arg(groupName, titlesText(groupTotals.titles))));
        m_rows.append({});
        all.add(groupTotals);
        groupTotals = Totals();
    };
    const Lines read = readLines(q);
    for (const Line& l : read.lines) {
        const Group& g = read.groups[l.group];
        const QString name =
            g.known ? g.nomCed.trimmed() : QStringLiteral("Títulos não identificados");
        const QString key = g.age + QLatin1Char('|') + g.ctr + QLatin1Char('|') + name;
        if (key != group) {
            closeGroup();
            group = key;
            groupName = name;
            m_rows.append({QStringLiteral("%1 - agência %2, contrato %3").arg(name, g.age, g.ctr)});
        }
        const qint64 value = l.title ? l.title->titVal : l.s.titVal;
        const QDate due = l.title && l.title->datVen.isValid() ? l.title->datVen : l.s.datVen;
        const int late = RetDivergence::daysLate(due, l.s.datOco);
        Totals line;
        line.titles = 1;
        line.value = value;
        line.paid = l.s.valPag;
        line.charges = l.s.valEnc;
        line.difference = l.s.valPag - value;
        groupTotals.add(line);
        m_rows.append({QString(), l.nosNum, l.seuNum, g.known ? payer(l.sacNom) : QString(),
                       Regional::shortDate(due), Regional::formatCents(value),
                       Regional::formatCents(l.s.valPag), Regional::formatCents(l.s.valEnc),
                       Regional::formatCents(line.difference), Regional::shortDate(l.datCre),
                       late > 0 ? QString::number(late) : QString(),
                       RetDivergence::of(l.s, l.title)});
    }
    closeGroup();
    if (all.titles > 0)
        m_rows.append(all.row(QStringLiteral("Total geral: %1").arg(titlesText(all.titles))));
    return all.titles;
}

void RelLiquidados::produce(TRpPrinter& store)
{
    rptLiquidados->produce(store);
}

int RelLiquidados::writePdf(const QString& path)
{
    return rptLiquidados->writePdf(path);
}

#include "RelLiquidados.h"

#include "Database.h"
#include "DbQuery.h"
#include "Regional.h"
#include "RetDivergence.h"
#include "RetStatements.h"
#include "RetTables.h"
#include "TRpPrinter.h"

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
    q.sql() << QStringLiteral("select min(RetDatCre) as De, max(RetDatCre) as Ate from Ret")
            << QStringLiteral("where RetCodOco in ('06', '17') and RetArqSeq = (")
            << RetStatements::lastFile().sqlite.join(QLatin1Char(' ')) + QLatin1Char(')');
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
    for (q.open(); !q.eof(); q.next()) {
        const bool known = !q.isNull(QStringLiteral("BlqSeq"));
        const QString age = q.asString(QStringLiteral("RetAgeCod"));
        const QString ctr = q.asString(QStringLiteral("RetCtrCod"));
        const QString name = known ? q.asString(QStringLiteral("BlqNomCed")).trimmed()
                                   : QStringLiteral("Títulos não identificados");
        const QString key = age + QLatin1Char('|') + ctr + QLatin1Char('|') + name;
        if (key != group) {
            closeGroup();
            group = key;
            groupName = name;
            m_rows.append({QStringLiteral("%1 - agência %2, contrato %3").arg(name, age, ctr)});
        }
        RetDivergence::Settlement s;
        s.codOco = q.asString(QStringLiteral("RetCodOco"));
        s.datOco = q.asDate(QStringLiteral("RetDatOco"));
        s.datVen = q.asDate(QStringLiteral("RetDatVen"));
        s.titVal = q.asCents(QStringLiteral("RetTitVal"));
        s.valPag = q.asCents(QStringLiteral("RetValPag"));
        s.valDst = q.asCents(QStringLiteral("RetValDst"));
        s.valAbt = q.asCents(QStringLiteral("RetValAbt"));
        s.valEnc = q.asCents(QStringLiteral("RetValEnc"));
        std::optional<RetDivergence::Title> title;
        if (known) {
            title = RetDivergence::Title{
                q.asCents(QStringLiteral("BlqTitVal")), q.asCents(QStringLiteral("BlqJurDiaVal")),
                q.asCents(QStringLiteral("BlqValMul")), q.asDate(QStringLiteral("BlqDatVen"))};
        }
        const qint64 value = title ? title->titVal : s.titVal;
        const QDate due = title && title->datVen.isValid() ? title->datVen : s.datVen;
        const int late = RetDivergence::daysLate(due, s.datOco);
        Totals line;
        line.titles = 1;
        line.value = value;
        line.paid = s.valPag;
        line.charges = s.valEnc;
        line.difference = s.valPag - value;
        groupTotals.add(line);
        m_rows.append({QString(), q.asString(QStringLiteral("RetNosNum")),
                       q.asString(QStringLiteral("RetSeuNum")),
                       known ? payer(q.asString(QStringLiteral("BlqSacNom"))) : QString(),
                       Regional::shortDate(due), Regional::formatCents(value),
                       Regional::formatCents(s.valPag), Regional::formatCents(s.valEnc),
                       Regional::formatCents(line.difference),
                       Regional::shortDate(q.asDate(QStringLiteral("RetDatCre"))),
                       late > 0 ? QString::number(late) : QString(), RetDivergence::of(s, title)});
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

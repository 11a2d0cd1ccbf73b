#include "BlqTitleRow.h"

#include "BlqSearchText.h"
#include "DbQuery.h"
#include "DbTable.h"
#include "KvError.h"

#include <cmath>

namespace {
// Far above any amount of the bank's file (13 digits of centavos) and still exact in
// whole centavos: a larger stored value was not written by this program.
constexpr double kMoneyLimit = 1e15;

template <class... F> struct Overload : F... {
    using F::operator()...;
};
template <class... F> Overload(F...) -> Overload<F...>;

int columnOf(const BlqSchema::Member& member)
{
    const QList<BlqSchema::Column>& columns = BlqSchema::columns();
    for (int i = 0; i < columns.size(); ++i) {
        if (columns.at(i).member == member)
            return i;
    }
    throw KvError(QStringLiteral("Membro sem coluna na tabela Blq"));
}
} // namespace

BlqTitle BlqTitleRow::read(const DbQuery& q)
{
    BlqTitle t;
    const QList<BlqSchema::Column>& columns = BlqSchema::columns();
    const QList<QString>& names = BlqSchema::names();
    if (!q.isOpen())
        throw KvError(QStringLiteral("Consulta fechada"));
    for (int i = 0; i < columns.size(); ++i) {
        const QString& name = names.at(i);
        if (!q.hasField(name) || q.isNull(name))
            continue;
        std::visit(Overload{
                       [&](qint32 BlqTitle::*m) { t.*m = q.asInteger(name); },
                       [&](QString BlqTitle::*m) { t.*m = q.asString(name); },
                       [&](QDate BlqTitle::*m) { t.*m = q.asDate(name); },
                       [&](std::optional<qint32> BlqTitle::*m) { t.*m = q.asInteger(name); },
                       [&](std::optional<bool> BlqTitle::*m) { t.*m = q.asBool(name); },
                       [&](std::optional<double> BlqTitle::*m) {
                           const double amount = q.asFloat(name);
                           if (!std::isfinite(amount) || std::fabs(amount) >= kMoneyLimit) {
                               throw KvConversionError(
                                   QStringLiteral("'%1' não é um valor monetário válido (%2)")
                                       .arg(q.value(name).toString(), name));
                           }
                           t.*m = amount;
                       },
                   },
                   columns.at(i).member);
    }
    return t;
}

BlqTitleRow::BlqTitleRow(DbTable& table) : m_table(table)
{
    const QStringList present = table.fieldNames();
    for (const QString& name : BlqSchema::names())
        m_positions << (present.contains(name, Qt::CaseInsensitive) ? table.fieldIndex(name) : -1);
    const QString search = QLatin1StringView(BlqSearchText::kColumn);
    if (present.contains(search, Qt::CaseInsensitive))
        m_searchText = table.fieldIndex(search);
}

void BlqTitleRow::write(const BlqTitle& title)
{
    for (int i = 0; i < m_positions.size(); ++i)
        write(title, i);
    if (m_searchText >= 0)
        m_table.setMemo(m_searchText, BlqSearchText::of(title));
}

void BlqTitleRow::write(const BlqTitle& title, const BlqSchema::Member& member)
{
    write(title, columnOf(member));
}

void BlqTitleRow::write(const BlqTitle& t, int column)
{
    const int f = m_positions.at(column);
    auto present = [&](bool isPresent) {
        if (isPresent && f < 0)
            m_table.fieldIndex(BlqSchema::names().at(column)); // raises the table's complaint
        return isPresent;
    };
    std::visit(Overload{
                   [&](qint32 BlqTitle::*) {
                       // Numbered by the table.
                   },
                   [&](QString BlqTitle::*m) {
                       if (present(!(t.*m).isNull()))
                           m_table.setText(f, t.*m);
                   },
                   [&](QDate BlqTitle::*m) {
                       if (present((t.*m).isValid()))
                           m_table.setDate(f, t.*m);
                   },
                   [&](std::optional<qint32> BlqTitle::*m) {
                       if (present((t.*m).has_value()))
                           m_table.setInteger(f, *(t.*m));
                   },
                   [&](std::optional<bool> BlqTitle::*m) {
                       if (present((t.*m).has_value()))
                           m_table.setBool(f, *(t.*m));
                   },
                   [&](std::optional<double> BlqTitle::*m) {
                       if (present((t.*m).has_value()))
                           m_table.setFloat(f, *(t.*m));
                   },
               },
               BlqSchema::columns().at(column).member);
}

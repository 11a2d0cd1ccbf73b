#include "TitleListModel.h"

#include "Regional.h"

using Order = TitulosStatements::Order;

TitleListModel::TitleListModel(QObject* parent) : QAbstractTableModel(parent) {}

void TitleListModel::search(const TitleSearch::Criteria& criteria)
{
    // Found first: a search that fails leaves the grid as it was.
    const QList<qint32> seqs = TitleSearch::find(criteria);
    const QList<TitleSearch::Row> first = TitleSearch::rows(seqs.mid(0, kPage));
    beginResetModel();
    m_criteria = criteria;
    m_seqs = seqs;
    m_rows = first;
    endResetModel();
}

const TitleSearch::Row* TitleListModel::rowAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? &m_rows.at(row) : nullptr;
}

int TitleListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TitleListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString TitleListModel::columnTitle(int column)
{
    switch (column) {
    case NosNum:
        return QStringLiteral("Nosso número");
    case SeuNum:
        return QStringLiteral("Seu número");
    case SacNom:
        return QStringLiteral("Pagador");
    case CpfCgcSac:
        return QStringLiteral("CPF/CNPJ");
    case Vencimento:
        return QStringLiteral("Vencimento");
    case Valor:
        return QStringLiteral("Valor");
    case NomCed:
        return QStringLiteral("Beneficiário");
    case Situacao:
        return QStringLiteral("Situação");
    case Motivos:
        return QStringLiteral("Motivos da rejeição");
    default:
        return QString();
    }
}

QString TitleListModel::text(const TitleSearch::Row& r, int column)
{
    switch (column) {
    case NosNum:
        return r.nosNum;
    case SeuNum:
        return r.seuNum;
    case SacNom:
        return r.sacNom;
    case CpfCgcSac:
        return r.cpfCgcSac;
    case Vencimento:
        return r.vencimento;
    case Valor:
        return Regional::formatCents(r.cents);
    case NomCed:
        return r.nomCed;
    case Situacao:
        return r.situacao;
    case Motivos:
        return r.msgErr;
    default:
        return QString();
    }
}

QVariant TitleListModel::data(const QModelIndex& index, int role) const
{
    const TitleSearch::Row* r = rowAt(index.row());
    if (!r || !index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return text(*r, index.column());
    if (role == Qt::TextAlignmentRole && index.column() == Valor)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant TitleListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return columnTitle(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool TitleListModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && m_rows.size() < m_seqs.size();
}

void TitleListModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    const QList<TitleSearch::Row> more = TitleSearch::rows(m_seqs.mid(m_rows.size(), kPage));
    if (more.isEmpty()) {
        // The table was emptied or refilled since the search: nothing further to show.
        beginResetModel();
        m_seqs = m_seqs.mid(0, m_rows.size());
        endResetModel();
        return;
    }
    beginInsertRows(QModelIndex(), int(m_rows.size()), int(m_rows.size() + more.size() - 1));
    m_rows += more;
    endInsertRows();
}

void TitleListModel::sort(int column, Qt::SortOrder order)
{
    static const Order orders[ColumnCount] = {Order::NosNum,    Order::SeuNum,   Order::SacNom,
                                              Order::CpfCgcSac, Order::DatVen,   Order::TitVal,
                                              Order::NomCed,    Order::Situacao, Order::MsgErr};
    TitleSearch::Criteria c = m_criteria;
    c.order = column >= 0 && column < ColumnCount ? orders[column] : Order::Seq;
    c.descending = order == Qt::DescendingOrder;
    search(c);
}

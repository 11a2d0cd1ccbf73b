#include "ContinuoRowsModel.h"

#include "ContinuoSelection.h"
#include "DotMatrixPage.h"
#include "Regional.h"

ContinuoRowsModel::ContinuoRowsModel(QObject* parent) : QAbstractTableModel(parent) {}

void ContinuoRowsModel::SelecionaMovimento(const QString& contractText)
{
    // Read first: a failing selection leaves the grid empty rather than stale.
    QList<BlqTitle> rows;
    try {
        rows = ContinuoSelection::rowsForText(contractText);
    } catch (...) {
        close();
        throw;
    }
    setRows(std::move(rows));
}

void ContinuoRowsModel::setRows(QList<BlqTitle> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void ContinuoRowsModel::close()
{
    setRows({});
}

int ContinuoRowsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ContinuoRowsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ContinuoRowsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const BlqTitle& r = m_rows.at(index.row());
    if (role == Qt::TextAlignmentRole) {
        if (index.column() == Valor || index.column() == NumeroBloqueto)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case SeuNumero:
        return r.seuNum;
    case Vencimento:
        return DotMatrixPage::CalcDatVen(r);
    case Valor:
        return Regional::formatCents(BlqTitle::cents(r.titVal));
    case NumeroBloqueto:
        return QString::number(r.seq);
    default:
        return {};
    }
}

QVariant ContinuoRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::TextAlignmentRole && section == Valor)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (section) {
    case SeuNumero:
        return QStringLiteral("Seu Número");
    case Vencimento:
        return QStringLiteral("Vencimento");
    case Valor:
        return QStringLiteral("Valor do Título");
    case NumeroBloqueto:
        return QStringLiteral("Nº Bloq.");
    default:
        return {};
    }
}

Qt::ItemFlags ContinuoRowsModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

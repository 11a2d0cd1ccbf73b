#pragma once

#include "BlqTitle.h"

#include <QAbstractTableModel>
#include <QList>

// The bloqueto selection as the grid shows it: "Seu Número", "Vencimento", "Valor do
// Título", "Nº Bloq.". It holds its rows, so a run prints what was selected even if the
// table changes meanwhile.
class ContinuoRowsModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { SeuNumero, Vencimento, Valor, NumeroBloqueto, ColumnCount };

    explicit ContinuoRowsModel(QObject* parent = nullptr);

    // Runs the selection for the contract box's text and shows its rows.
    void SelecionaMovimento(const QString& contractText);
    void setRows(QList<BlqTitle> rows);
    void close(); // no rows
    const QList<BlqTitle>& rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QList<BlqTitle> m_rows;
};

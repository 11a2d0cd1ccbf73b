#pragma once

#include "TitleSearch.h"

#include <QAbstractTableModel>

// The grid of the titles window: the titles a search found, their columns read a page at
// a time as the view scrolls to them (canFetchMore/fetchMore), sorted by the server or
// the file engine when a column header is clicked (the search runs again in that order).
class TitleListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        NosNum,
        SeuNum,
        SacNom,
        CpfCgcSac,
        Vencimento,
        Valor,
        NomCed,
        Situacao,
        Motivos,
        ColumnCount
    };
    static constexpr int kPage = 200;

    explicit TitleListModel(QObject* parent = nullptr);

    // Runs the search with the criteria's text and filters, in the current sort order.
    void search(const TitleSearch::Criteria& criteria);
    int found() const { return int(m_seqs.size()); } // every title found, loaded or not
    const TitleSearch::Row* rowAt(int row) const;
    const TitleSearch::Criteria& criteria() const { return m_criteria; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    static QString columnTitle(int column);
    // A row's text in a column, as the grid and the list of the batch tool show it.
    static QString text(const TitleSearch::Row& row, int column);

private:
    TitleSearch::Criteria m_criteria;
    QList<qint32> m_seqs;
    QList<TitleSearch::Row> m_rows; // the first rows of m_seqs, loaded
};

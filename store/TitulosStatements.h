#pragma once

#include "DbStatement.h"

#include <QList>
#include <QString>

// The statements of the titles search over Blq: the folded search column and the indexes
// the search needs (added by the schema upgrade), the search itself and the reading of the
// rows it found.
namespace TitulosStatements {
DbStatement addSearchText();     // the column BlqBusTxt
QList<DbStatement> addIndexes(); // nosso número and due date; each only when missing
DbStatement missingSearchText(); // rows without their folded text, with what makes it
DbStatement setSearchText();     // :ParmBusTxt of the row :ParmSeq

// The grid's columns a search may be ordered by.
enum class Order {
    Seq,
    NosNum,
    SeuNum,
    SacNom,
    CpfCgcSac,
    DatVen,
    TitVal,
    NomCed,
    Situacao,
    MsgErr
};

struct Search {
    int words = 0;         // parameters :ParmPalavra0 … each a LIKE pattern
    bool dueFrom = false;  // :ParmVenDe
    bool dueUntil = false; // :ParmVenAte
    int valid = -1;        // -1 every title, 1 the valid ones, 0 the rejected ones
    // The situação of each title, a derived table of RetAgeCod, RetCtrCod, RetNosNum and
    // RetSituacao (RetStatements::situacaoPorTitulo); empty: the search needs none.
    QString situacaoTable;
    bool situacaoFilter = false; // :ParmSituacao, with situacaoTable
    bool foldedColumn = true;    // the table has BlqBusTxt
    Order order = Order::Seq;
    bool descending = false;
};
// The numbers (BlqSeq) of the titles found, in the order asked, file order within ties.
DbStatement search(const Search& s);
// The grid's columns of the rows numbered `seqs` (any order; the caller puts them back).
DbStatement gridRows(const QList<qint32>& seqs);
// Every column of the rows numbered `seqs`, in the order given: the single-sheet report of
// chosen titles.
DbStatement titlesInOrder(const QList<qint32>& seqs);
// The situação ("Situacao") of the rows numbered `seqs` from the derived table `situacaoTable`
// (see Search); a title it does not name is "Em aberto".
DbStatement situacoes(const QList<qint32>& seqs, const QString& situacaoTable);
// Every row of nosso número :ParmNosNum, in file order.
DbStatement byNossoNumero();
} // namespace TitulosStatements

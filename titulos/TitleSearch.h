#pragma once

#include "BlqTitle.h"
#include "TitulosStatements.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// The search of the titles window and of "kvcob-lote titulos" over Blq: by a fragment of
// the payer's name or document, nosso número, seu número or beneficiary (BlqSearchText),
// with filters of due date, validity and situação. A search answers the numbers of the
// titles found (BlqSeq), in order; their columns are read a page at a time as the grid
// shows them.
namespace TitleSearch {
enum class Validity { All, Valid, Rejected };

struct Criteria {
    QString text;
    QDate dueFrom; // null: no limit
    QDate dueUntil;
    Validity validity = Validity::All;
    QString situacao; // empty: any
    TitulosStatements::Order order = TitulosStatements::Order::Seq;
    bool descending = false;
};

// What the grid shows of a title.
struct Row {
    qint32 seq = 0;
    QString nosNum;
    QString seuNum;
    QString sacNom;
    QString cpfCgcSac;
    QDate datVen;
    QString vencimento; // the due date as the slip prints it ("À Vista", "C/Apres.", date)
    qint64 cents = 0;
    QString nomCed;
    bool valid = false;
    QString msgErr;
    QString situacao;
};

QList<qint32> find(const Criteria& criteria);
// The rows numbered `seqs`, in that order; numbers no longer in the table are left out.
QList<Row> rows(const QList<qint32>& seqs);
// Every column of one title; raises when it is gone.
BlqTitle title(qint32 seq);
// The valid titles of these nossos números, in the order given (a number repeated once).
// Raises KvError naming every number that is not in the table or names rejected titles
// only, so that nothing is printed for a list with a mistake in it.
QList<qint32> validByNossoNumero(const QStringList& numbers);
} // namespace TitleSearch

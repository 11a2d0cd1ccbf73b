#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The situação of a title as the bank's return files tell it ("Em aberto", "Liquidado",
// "Baixado", "Rejeitado", "Em protesto"), from its latest occurrence in Ret. The one place
// the titles search and its grid learn it: with no return data every title is "Em aberto".
namespace TitleSituacao {
QString emAberto();
QStringList names(); // the five, in the order the filter lists them
// Of the titles numbered `seqs`; a title the returns say nothing of is "Em aberto".
QHash<qint32, QString> of(const QList<qint32>& seqs);
// The derived table of each title's situação to join to Blq (see TitulosStatements::Search);
// the store makes the return tables whenever they are missing.
QString table();
} // namespace TitleSituacao

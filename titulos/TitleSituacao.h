#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The situação of a title as the bank's return files tell it ("Em aberto", "Liquidado",
// "Baixado", "Rejeitado", "Em protesto"). The one place the titles search and its grid
// learn it: with no return data every title is "Em aberto".
namespace TitleSituacao {
QString emAberto();
QStringList names(); // the five, in the order the filter lists them
// Of the titles numbered `seqs`; a title the returns say nothing of is "Em aberto".
QHash<qint32, QString> of(const QList<qint32>& seqs);
// A condition on Blq's row for the search's "where" that holds for titles in `situacao`.
QString condition(const QString& situacao);
} // namespace TitleSituacao

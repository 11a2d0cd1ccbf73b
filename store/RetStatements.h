#pragma once

#include "DbStatement.h"

#include <QList>
#include <QString>

// Every statement over the return-file tables RetArq (one row per processed file) and Ret
// (one row per occurrence). Both outlive the imports, which empty Blq only; a title meets
// its occurrences by agência, contrato and nosso número, never by BlqSeq.
namespace RetStatements {
DbStatement createRetArq(); // both tables are in StoreCatalog::tables()
DbStatement createRet();
QList<DbStatement> createIndexes();
DbStatement indexPresent(); // 1 when the indexes were made (they come after the tables)
DbStatement tryLock();      // the server's session lock of one return file at a time
DbStatement releaseLock();

DbStatement fileByHash();        // RetArqSeq, RetArqPro of :ParmHash
DbStatement insertFile();        // positional: Nom, Hash, Dat, Pro, Fmt, Qtd, Val; the server
                                 // answers RetArqSeq
DbStatement updateFile();        // positional: Nom, Dat, Pro, Fmt, Qtd, Val, Seq
DbStatement deleteOccurrences(); // positional: RetArqSeq
DbStatement insertOccurrence();  // positional, in occurrenceColumns() order
QStringList occurrenceColumns(); // the columns an occurrence fills, RetArqSeq first
DbStatement unidentifiedCount(); // occurrences of a file that match no Blq row (RetQtd)
DbStatement files();             // processed files, latest first
DbStatement lastFile();          // RetArqSeq of the latest processed file
// The first and last credit dates (De, Ate) of the latest processed file's settlements.
DbStatement lastFileCredits();

// A title's situação from its latest occurrence that is not a fee record (by occurrence
// date, then file, then line): a derived table of RetAgeCod, RetCtrCod, RetNosNum,
// RetSituacao ("Liquidado", "Baixado", "Rejeitado", "Em protesto", "Em aberto"), one row
// per title that has occurrences. Join it to Blq; a title without a row is "Em aberto":
//   select b.*, coalesce(s.RetSituacao, 'Em aberto') as Situacao from Blq b
//   left join (<situacaoPorTitulo()>) s on s.RetAgeCod = b.BlqAgeCod
//     and s.RetCtrCod = b.BlqCtrCod and s.RetNosNum = b.BlqNosNum
// The same text runs on both engines.
QString situacaoPorTitulo();

// "&Folha Solta" without the titles settled or written off (--pendentes).
DbStatement bloquetosPendentes();
// Agência, contrato and nosso número of the titles settled or written off: the ones the
// e-mail run leaves out with --pendentes.
DbStatement titulosEncerrados();
// Settlements whose credit date lies in [:ParmDe, :ParmAte], with what the store knows of
// their titles (left join: an unidentified one keeps its occurrence's own data). In no
// order: the report orders its lines itself, the same way on both engines; a server sorting
// the wide rows by text took longer than all the rest of the report.
DbStatement liquidados();
// Every occurrence of file :ParmArq, with its title's data where there is a title.
DbStatement occurrencesOfFile();
} // namespace RetStatements

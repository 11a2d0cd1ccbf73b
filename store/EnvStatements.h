#pragma once

#include "DbStatement.h"

#include <QList>

// Every statement over Env, the record of the bloquetos sent by e-mail: one row per
// message, written before it goes (situation 'E', being sent) and completed after the
// server answers ('A' accepted, 'R' refused, 'F' failed: never reached the server's
// acceptance). The table outlives the imports, which never touch it.
//
//   EnvAgeCod, EnvCtrCod, EnvNosNum   the title
//   EnvDatVen, EnvVal                 the due date and value sent
//   EnvEnd                            the address
//   EnvDatHor                         when, ISO text "yyyy-MM-ddTHH:mm:ss"
//   EnvSit, EnvRsp                    the situation and the server's answer or the failure
//   EnvMsgId                          the message's Message-ID, the row's key
namespace EnvStatements {
DbStatement createTable(); // made when missing by Database (StoreCatalog)
DbStatement index();       // the look-up of titles already sent
DbStatement begin();       // :Age :Ctr :Nos :Ven :Val :End :Hor :MsgId
DbStatement finish();      // :Sit :Rsp :Hor :MsgId
// Messages accepted for this title, due date, value and address (:Age :Ctr :Nos, :Ven ISO
// text or empty, :Cents, :End).
DbStatement accepted();
// Every row, newest first (the listing and the tests).
DbStatement all();
// The valid titles of the given sequence numbers, in file order (the pages to mail).
// The numbers are integers written into the text by the caller.
DbStatement titlesBySeq(const QList<int>& seqs);
// One sending at a time per database, on the server (on SQLite a file beside the
// database is locked by the operating system).
DbStatement tryLock();
DbStatement releaseLock();
} // namespace EnvStatements

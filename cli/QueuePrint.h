#pragma once

#include "Verb.h"

class TRpReport;

// "--impressora FILA [--copias N] [--paginas A-B]" of the verbs that write a report as
// PDF: the report goes to a CUPS queue instead, through the toolkit's printer and without
// a dialog.
class QueuePrint {
public:
    static QList<QCommandLineOption> options();
    // True when the call names a queue. --copias and --paginas without one, and a queue
    // named together with an output file, are usage faults of `verb`.
    static bool requested(const Verb& verb, const QCommandLineParser& args);

    struct Result {
        QString queue;    // as the server spells it
        int produced = 0; // pages the report made
        int printed = 0;  // pages sent, once each
        int copies = 1;
    };
    // Checks the queue and the options, prints `report` and checks that the server took
    // the job. Raises KvError (nothing sent) on every failure.
    static Result print(const Verb& verb, const QCommandLineParser& args, TRpReport& report);
    // "3 página(s) enviada(s) à impressora FILA" and the copies.
    static QString summary(const Result& result, const QString& what);
};

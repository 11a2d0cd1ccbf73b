#pragma once

#include <QList>
#include <QString>

// The print queues of the CUPS server this program prints to (the one CUPS_SERVER names,
// else the system's), asked through libcups as the toolkit's printer asks it. Failures
// are KvErrors in Portuguese that say what happened and what to do.
class CupsQueues {
public:
    struct Queue {
        QString name;
        bool accepting = true; // takes new jobs (cupsreject turns it off)
        bool stopped = false;  // holds its jobs instead of printing them (cupsdisable)
        QString reason;        // the server's printer-state-message; may be empty
    };

    // Every queue of the server, in the server's order. Raises KvError when the server
    // does not answer.
    static QList<Queue> list();
    // The queue `name` when it takes and prints jobs now; else raises KvError: no such
    // queue ("Impressora FILA não encontrada" and the queues there are), a stopped queue,
    // a queue that refuses jobs, or a server that does not answer.
    static Queue checkReady(const QString& name);
    // Right after the toolkit's printer handed a job for `printerName` (a queue, maybe with
    // "/instance") to CUPS in this thread:
    // raises KvError with the server's reason when the server refused the job. Answers a
    // notice for the user when the job was taken but waits in a stopped queue.
    static QString checkSubmitted(const QString& printerName);
};

#pragma once

#include "RpPdfSeries.h"

#include <QString>
#include <functional>

class RelBloqueto;

// The single-sheet bloquetos as one PDF file per valid title, for sending each payer his
// own: each page of the report in a file of its own named for a mail merge
// (TitleFileNames), and "indice.csv" beside them listing the files in the same order
// (BloquetoIndex). The batch tool and the preview window both write through here.
//
// A file goes into place only when complete, replacing an older one of its name. A run
// that fails midway (a full disk, the folder gone, a logo missing) stops there: the files
// already in place stay as they are, none is left half-written, the index lists exactly
// the files in place, and the error says which file failed and what was kept. Other
// files of the folder are never touched, but for the hidden temporary files of per-title
// files that a killed run left (StagedFolder).
class BloquetoFiles {
public:
    static QString indexName() { return QStringLiteral("indice.csv"); }

    struct Options {
        RpPdfSeries::Threads threads = RpPdfSeries::Threads::Two;
        // Called after each page is produced, with the number of pages so far (the preview
        // keeps the interface alive there).
        std::function<void(int pages)> onPage;
    };

    // Runs the report of `rel` over its query as it stands into `folder`, created when
    // missing. Answers the number of files; with no rows nothing is written. Raises
    // KvError.
    static int write(RelBloqueto& rel, const QString& folder, const Options& options);
    static int write(RelBloqueto& rel, const QString& folder) { return write(rel, folder, {}); }
};

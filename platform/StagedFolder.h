#pragma once

#include <QString>

// A folder that this run writes StagedFiles into, for as long as the object lives.
//
// A run killed midway (kill -9, a power cut) leaves its temporary files (".NAME.XXXXXX")
// behind, and nobody else removes them: they hold payers' data and fill the folder. The
// next run into the folder removes them, but only when no other run is writing there at
// the same time, whose temporary files are alive: each run holds a shared lock on the
// folder while it writes, and the clean-up needs it exclusively for a moment. The system
// drops a killed run's lock with the process.
//
// Only names of the exact pattern StagedFile makes for the given final-name suffix
// (".NAME<suffix>.XXXXXX", six letters or digits), regular files of the user's own, go.
class StagedFolder {
public:
    StagedFolder(const QString& folder, const QString& suffix);
    ~StagedFolder();
    StagedFolder(const StagedFolder&) = delete;
    StagedFolder& operator=(const StagedFolder&) = delete;

    // Temporary files removed when the object was made.
    int removed() const { return m_removed; }

    // Whether `name` is one of the temporary files StagedFile makes for a final name
    // ending in `suffix`.
    static bool isLeftover(const QString& name, const QString& suffix);

private:
    int m_fd = -1;
    int m_removed = 0;
};

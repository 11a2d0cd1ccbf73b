#pragma once

#include <QString>

// The folder each kind of file was last opened from or saved to, so that a file dialog
// opens where the clerk works (the bank's files in one folder, the PDFs in another)
// rather than in the home folder every time. Kept per user, in the user's own settings
// (~/.config/kvcob/pastas.conf), not in the program folder that a whole office may share.
//
//   const QString name = dialogs().openFile(caption,
//   RecentFolders::start(RecentFolders::kBankFile), filter);
//   RecentFolders::remember(RecentFolders::kBankFile, name);
namespace RecentFolders {

// The kinds the windows use; a new window may add its own name.
inline constexpr const char* kBankFile = "remessa";
inline constexpr const char* kReport = "relatorio"; // saved reports (.kvr)
inline constexpr const char* kPdf = "pdf";
inline constexpr const char* kPerTitleFolder = "bloquetos"; // folders of per-title files
inline constexpr const char* kLogo = "logomarca";

// Where a dialog for that kind starts: the folder last used when it still exists,
// otherwise the home folder.
QString start(const char* kind);

// Notes the folder of a file chosen; an empty name (the user cancelled) changes nothing.
void remember(const char* kind, const QString& chosenFile);
// Notes a folder chosen, which may not exist yet.
void rememberFolder(const char* kind, const QString& chosenFolder);

// Tests keep their own file; empty returns to the user's.
void setFile(const QString& path);

} // namespace RecentFolders

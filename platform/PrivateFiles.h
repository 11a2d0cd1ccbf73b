#pragma once

#include <QString>

// Payers' names, CPF/CNPJ and addresses are personal data: every file the program writes
// (database and its journals, PDFs, indice.csv, saved reports, settings) is for its user
// alone, and so is the folder the program makes for its data.
//
// The process's file-creation mask gains group and other bits at start (restrictProcess),
// so whatever it creates, SQLite's side files and the temporary files of safe writes
// included, is 0600 (folders 0700), or stricter when the user's own mask is stricter.
// A file written before this rule, and replaced or reopened now, loses the same bits
// (tighten). Files the program does not write, such as the installed system files or an
// administrator's kvcob.conf, stay as they are.
namespace PrivateFiles {

// Adds group and other bits to the process's umask; a stricter mask stays as it was.
void restrictProcess();

// The permission bits the current umask takes off a new file.
unsigned umaskBits();

// A file or folder of the program's own loses the bits the umask takes off. Nothing
// happens when it does not exist or is not the user's.
void tighten(const QString& path);

} // namespace PrivateFiles

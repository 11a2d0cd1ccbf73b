#pragma once

// The schema check of start-up: a bloqueto table with neither late-fee column gains both,
// value then date. A table holding either one of them is left as it is, and so is a table
// named Blq that lacks the bloqueto table's first 32 columns. Run by the program's start-up
// and by the import, never by a command that only reads.
namespace BlqUpgrade {
bool columnsMissing();  // opens the table and scans its field names
bool isBloquetoTable(); // the table has the first 32 columns
bool upgradeIfNeeded(); // true when the two columns were added
} // namespace BlqUpgrade

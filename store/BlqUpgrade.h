#pragma once

// The schema check of start-up, on a bloqueto table (one that has the first 32 columns;
// a table named Blq that lacks them is somebody else's and is left alone):
// - a table with neither late-fee column gains both, value then date; a table holding
//   either one of them is left as it is;
// - a table with both late-fee columns that lacks the PIX payload column BlqPixEmv gains
//   it;
// - a table with all of those gets the titles search's folded column BlqBusTxt and its
//   indexes (BlqSearchIndex).
// Run by the program's start-up and by the import, never by a command that only reads.
namespace BlqUpgrade {
bool columnsMissing();   // neither late-fee column: opens the table and scans its fields
bool pixColumnMissing(); // both late-fee columns, no BlqPixEmv
bool isBloquetoTable();  // the table has the first 32 columns
bool upgradeIfNeeded();  // true when any column was added
} // namespace BlqUpgrade

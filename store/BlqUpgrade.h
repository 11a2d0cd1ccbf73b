#pragma once

// The schema check of start-up: a bloqueto table with neither late-fee column gains both,
// value then date. A table holding either one of them is left as it is.
namespace BlqUpgrade {
bool columnsMissing(); // opens the table and scans its field names
bool upgradeIfNeeded(); // true when the two columns were added
} // namespace BlqUpgrade

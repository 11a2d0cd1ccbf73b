#pragma once

// What the titles search needs of Blq, added by the schema upgrade (start-up and import):
// the folded search column BlqBusTxt, filled for rows stored without it, and the indexes on
// nosso número and due date. Each step is done only when missing.
namespace BlqSearchIndex {
bool hasSearchText(); // the table has BlqBusTxt
// Adds what is missing and fills the column where it is empty; answers whether the
// column was added.
bool upgradeIfNeeded();
// Fills BlqBusTxt of the rows that lack it, in one transaction; answers how many.
int fillMissing();
} // namespace BlqSearchIndex

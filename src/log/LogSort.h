// Ordering of log records by a column of the log window. A value that is not a date, time or
// number where one is expected sorts before every real value; ticks and byte counts that are
// not numbers count as 0.
#pragma once

#include <vector>

#include "log/ConnObj.h"

namespace orva {

// Columns of the log window: 0 "N" (the row number), then the eleven fields.
inline constexpr int kLogColumnCount = 12;

// <0, 0 or >0 as a sorts before, with or after b by the column (1-11); 0 for other columns.
int CompareLogColumn(const TConnObj& a, const TConnObj& b, int column);

// Sorts by the column (1-11; others leave the list as it is). A descending sort reverses the
// comparison; records that compare equal keep their order either way.
void SortLogRecords(std::vector<TConnObj>& records, int column, bool ascending);

// The header-click rule: the clicked column becomes the sort column; the direction flips,
// but a column other than the one clicked last starts ascending.
struct LogSortState {
  int column = -1;        // "Indice ordinamento"
  bool ascending = true;  // "Ordinamento ascendente"
  int lastClicked = 0;    // not kept between runs
  // Returns false for column 0 and columns out of range (they cannot be clicked).
  bool Click(int clicked);
};

}  // namespace orva

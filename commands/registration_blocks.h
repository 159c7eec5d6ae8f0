#pragma once
// Where a transmitter's block of rows lies in the registration table.

#include <QString>

class TStringGrid;

namespace commands {

// The row whose column 0 holds `addressText` among rows 1..searchRange (the last match), else the
// row after the last block in use (last used row + blockSize), else row 1.
int FindBlockRow(const TStringGrid& grid, const QString& addressText, int searchRange,
                 int blockSize);

}  // namespace commands

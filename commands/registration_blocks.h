#pragma once
// Where a transmitter's block of rows lies in the registration table.

#include <QString>
#include <cstdint>

class TStringGrid;

namespace commands {

// Where a polled command's answers lie in the registration table: a transmitter's block of
// `blockSize` rows is looked for among rows 1..`searchRange`.
struct RegistrationLayout {
    int searchRange = 0;
    int blockSize = 0;
};

// The row whose address column holds `addressText` among rows 1..searchRange (the last match),
// else the row after the last block in use (last used row + blockSize), else row 1.
int FindBlockRow(const TStringGrid& grid, const QString& addressText,
                 const RegistrationLayout& layout);

// Finds the block of the transmitter at `address` and writes its address, the command number and
// the description into the block's first row; returns that row.
int StartBlock(TStringGrid& grid, const RegistrationLayout& layout, std::uint8_t address,
               const QString& commandNumber, const QString& description);

}  // namespace commands

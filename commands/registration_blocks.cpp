#include "commands/registration_blocks.h"

#include "hart/result_table.h"
#include "ui/string_grid.h"

namespace commands {

int FindBlockRow(const TStringGrid& grid, const QString& addressText,
                 const RegistrationLayout& layout) {
    int match = 0;
    int lastUsed = 0;
    for (int row = 1; row <= layout.searchRange; ++row) {
        const QString cell = grid.Cell(row, hart::column::kAddress);
        if (cell == addressText) {
            match = row;
        }
        if (!cell.isEmpty()) {
            lastUsed = row;
        }
    }
    if (match != 0) {
        return match;
    }
    return lastUsed == 0 ? 1 : lastUsed + layout.blockSize;
}

int StartBlock(TStringGrid& grid, const RegistrationLayout& layout, std::uint8_t address,
               const QString& commandNumber, const QString& description) {
    const QString addressText = QString::number(address);
    const int row = FindBlockRow(grid, addressText, layout);
    grid.SetCell(row, hart::column::kAddress, addressText);
    grid.SetCell(row, hart::column::kCommand, commandNumber);
    grid.SetCell(row, hart::column::kDescription, description);
    return row;
}

}  // namespace commands

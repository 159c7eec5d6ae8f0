#include "commands/registration_blocks.h"

#include "ui/tstring_grid.h"

namespace commands {

int FindBlockRow(const TStringGrid& grid, const QString& addressText, int searchRange,
                 int blockSize) {
    int match = 0;
    int lastUsed = 0;
    for (int row = 1; row <= searchRange; ++row) {
        const QString cell = grid.Cell(row, 0);
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
    return lastUsed == 0 ? 1 : lastUsed + blockSize;
}

}  // namespace commands

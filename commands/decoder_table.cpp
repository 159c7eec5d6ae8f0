#include "commands/decoder_table.h"

#include "commands/catalogue.h"

namespace commands {

bool DecoderTable::Decode(std::uint8_t command, std::uint8_t mode) {
    const CommandRow* row = RowOfCommand(command);
    if (row == nullptr || (mode == hart::kModeRegistration && !row->Polled())) {
        return false;
    }
    row->decode(context_);
    return true;
}

}  // namespace commands

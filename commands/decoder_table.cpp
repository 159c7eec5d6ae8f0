#include "commands/decoder_table.h"

namespace commands {

DecoderTable::DecoderTable(const DecoderContext& context)
    : read_(context),
      write_(context),
      entries_{{
          {1, true, [this] { read_.DecodeReadPrimary(); }},
          {3, true, [this] { read_.DecodeReadCurrentAndVariables(); }},
          {6, false, [this] { write_.DecodeWritePollAddress(); }},
          {33, true, [this] { read_.DecodeReadDeviceVariables(); }},
          {34, false, [this] { write_.DecodeWriteDamping(); }},
          {35, false, [this] { write_.DecodeWriteRange(); }},
          {36, false, [this] { write_.DecodeRangeCorrection(); }},
          {37, false, [this] { write_.DecodeZeroCorrection(); }},
          {40, false, [this] { write_.DecodeFixedCurrent(); }},
          {44, false, [this] { write_.DecodeWriteUnits(); }},
      }} {}

bool DecoderTable::Decode(std::uint8_t command, std::uint8_t mode) {
    for (const Entry& entry : entries_) {
        if (entry.command == command) {
            if (mode == hart::kModeRegistration && !entry.inRegistration) {
                return false;
            }
            entry.decode();
            return true;
        }
    }
    return false;
}

}  // namespace commands

#pragma once
// Decoders of the write and control commands; they report the outcome in the setup table.

#include "commands/decoder_context.h"

namespace commands {

void DecodeWritePollAddress(const DecoderContext& context);  // command 6
void DecodeWriteDamping(const DecoderContext& context);      // command 34
void DecodeWriteRange(const DecoderContext& context);        // command 35
void DecodeRangeCorrection(const DecoderContext& context);   // command 36
void DecodeZeroCorrection(const DecoderContext& context);    // command 37
void DecodeFixedCurrent(const DecoderContext& context);      // command 40
void DecodeWriteUnits(const DecoderContext& context);        // command 44

}  // namespace commands

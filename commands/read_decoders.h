#pragma once
// Decoders of the three read commands, used in both modes: in setup mode they fill the current
// rows of the setup table, in registration mode the answering transmitter's block of the
// registration table and, while the protocol box is ticked, its protocol line.

#include "commands/decoder_context.h"

namespace commands {

void DecodeReadPrimary(const DecoderContext& context);              // command 1
void DecodeReadCurrentAndVariables(const DecoderContext& context);  // command 3
void DecodeReadDeviceVariables(const DecoderContext& context);      // command 33

}  // namespace commands

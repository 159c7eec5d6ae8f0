#pragma once
// Decoders of the three read commands, used in both modes: in setup mode they fill the current
// rows of the setup table, in registration mode the answering transmitter's block of the
// registration table and, while the protocol box is ticked, its protocol line.

#include "commands/decoder_context.h"

namespace commands {

class ReadDecoders {
public:
    explicit ReadDecoders(const DecoderContext& context) : context_(context) {}

    void DecodeReadPrimary();              // command 1
    void DecodeReadCurrentAndVariables();  // command 3
    void DecodeReadDeviceVariables();      // command 33

private:
    void ReadPrimarySetup(const Answer& answer);
    void ReadPrimaryRegistration(const Answer& answer);
    void ReadCurrentSetup(const Answer& answer);
    void ReadCurrentRegistration(const Answer& answer);
    void ReadVariablesSetup(const Answer& answer);
    void ReadVariablesRegistration(const Answer& answer);

    // Finds the answering transmitter's block and writes address, command and description into
    // its first row; returns the row.
    int StartBlock(const Answer& answer, int commandIndex);
    // Appends a piece to the answering transmitter's protocol line while the box is ticked.
    void Protocol(const QString& piece);
    void ProtocolEnd();
    bool Registration() const { return context_.state.session.Mode == hart::kModeRegistration; }

    DecoderContext context_;
};

}  // namespace commands

#pragma once
// Decoders of the write and control commands; they report the outcome in the setup table.

#include "commands/decoder_context.h"

namespace commands {

class WriteDecoders {
public:
    explicit WriteDecoders(const DecoderContext& context) : context_(context) {}

    void DecodeWritePollAddress();  // command 6
    void DecodeWriteDamping();      // command 34
    void DecodeWriteRange();        // command 35
    void DecodeRangeCorrection();   // command 36
    void DecodeZeroCorrection();    // command 37
    void DecodeFixedCurrent();      // command 40
    void DecodeWriteUnits();        // command 44

private:
    // Writes the parameter name of the current row and, when the answer is valid, its value.
    void WriteRow(const QString& name, const QString& value);
    int Row() const { return context_.state.session.GridRow; }

    DecoderContext context_;
};

}  // namespace commands

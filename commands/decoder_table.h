#pragma once
// The decoder of each answer's command number, from the command catalogue, and the modes in
// which it is called.

#include <cstdint>

#include "commands/decoder_context.h"
#include "hart/response_dispatcher.h"

namespace commands {

class DecoderTable : public hart::ResponseDecoders {
public:
    explicit DecoderTable(const DecoderContext& context) : context_(context) {}

    // Registration mode decodes only the answers of the commands it polls with.
    bool Decode(std::uint8_t command, std::uint8_t mode) override;

private:
    DecoderContext context_;
};

}  // namespace commands

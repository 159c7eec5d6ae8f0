#pragma once
// The decoder of each answer's command number, and the modes in which it is called.

#include <array>
#include <cstdint>
#include <functional>

#include "commands/read_decoders.h"
#include "commands/write_decoders.h"
#include "hart/response_dispatcher.h"

namespace commands {

class DecoderTable : public hart::ResponseDecoders {
public:
    explicit DecoderTable(const DecoderContext& context);
    // The entries call back into this object.
    DecoderTable(const DecoderTable&) = delete;
    DecoderTable& operator=(const DecoderTable&) = delete;

    bool Decode(std::uint8_t command, std::uint8_t mode) override;

private:
    struct Entry {
        std::uint8_t command;
        bool inRegistration;  // the three read commands registration mode sends
        std::function<void()> decode;
    };

    ReadDecoders read_;
    WriteDecoders write_;
    std::array<Entry, 10> entries_;
};

}  // namespace commands

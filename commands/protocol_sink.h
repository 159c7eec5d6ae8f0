#pragma once
// Where the registration decoders append their protocol lines, one file per transmitter address.

#include <QString>
#include <cstdint>

namespace commands {

class ProtocolSink {
public:
    virtual ~ProtocolSink() = default;
    // Appends `text` to the protocol file of `address` without ending the line.
    virtual void ProtocolWrite(std::uint8_t address, const QString& text) = 0;
    // Appends a blank, the date, a blank, the time and the line end.
    virtual void ProtocolEndLine(std::uint8_t address) = 0;
};

}  // namespace commands

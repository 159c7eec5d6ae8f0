#pragma once
// What a device says about itself: its identity (command 0), its tag, descriptor and date
// (command 13), and its device status byte as text.

#include <QDate>
#include <QString>
#include <cstdint>
#include <optional>
#include <span>

#include "hart/standard_frames.h"

namespace hart {

struct DeviceIdentity {
    std::uint8_t universalRevision = 0;
    std::uint16_t manufacturer = 0;
    std::uint16_t deviceType = 0;  // the expanded device type from revision 7 on
    std::uint32_t deviceId = 0;    // 24 bits
    std::uint8_t deviceRevision = 0;
    std::uint8_t softwareRevision = 0;
    std::uint8_t requestPreambles = 0;  // preambles master to slave
    standard::UniqueAddress uniqueAddress{};
};
// Command 0's data (after the status bytes). None when the first byte is not 254 or the data is
// shorter than its layout (12 bytes; 22 when the universal revision is 7 or more).
std::optional<DeviceIdentity> DecodeIdentity(std::span<const std::uint8_t> data);

struct TagDescriptorDate {
    QString tag;         // trailing blanks removed
    QString descriptor;  // trailing blanks removed
    QDate date;          // invalid when the bytes name no date
};
// Command 13's data. None when shorter than 21 bytes.
std::optional<TagDescriptorDate> DecodeTagDescriptorDate(std::span<const std::uint8_t> data);
// Packed ASCII: every three bytes give four characters (a last, incomplete group gives none).
QString UnpackAscii(std::span<const std::uint8_t> packed);
// The device status byte as text, in Russian: "Норма" for 0, else the set bits' meanings joined by
// ", ", the highest bit first.
QString DeviceStatusText(std::uint8_t status);

}  // namespace hart

#include "hart/device_identity.h"

#include <QStringList>
#include <array>

namespace hart {

namespace {

// Command 0's data, after the status bytes.
namespace identity {
constexpr std::uint8_t kExpansionCode = 254;  // the first byte, always
constexpr std::size_t kExpansionAt = 0;
// The manufacturer up to revision 6; the expanded device type's high byte from revision 7 on.
constexpr std::size_t kManufacturerAt = 1;
constexpr std::size_t kDeviceTypeAt = 2;  // the expanded device type's low byte from 7 on
constexpr std::size_t kRequestPreamblesAt = 3;
constexpr std::size_t kUniversalRevisionAt = 4;
constexpr std::size_t kDeviceRevisionAt = 5;
constexpr std::size_t kSoftwareRevisionAt = 6;
constexpr std::size_t kDeviceIdAt = 9;  // three bytes
constexpr std::size_t kLength = 12;
constexpr std::uint8_t kFirstExpandedRevision = 7;
constexpr std::size_t kExpandedManufacturerAt = 17;  // two bytes
constexpr std::size_t kExpandedLength = 22;
// The unique address's first byte leaves room for the master and burst bits.
constexpr std::uint8_t kUniqueAddressBits = 0x3F;
}  // namespace identity

// Command 13's data.
namespace tag {
constexpr std::size_t kTagAt = 0;
constexpr std::size_t kTagLength = 6;
constexpr std::size_t kDescriptorAt = 6;
constexpr std::size_t kDescriptorLength = 12;
constexpr std::size_t kDayAt = 18;
constexpr std::size_t kMonthAt = 19;
constexpr std::size_t kYearAt = 20;  // years since 1900
constexpr int kYearBase = 1900;
constexpr std::size_t kLength = 21;
}  // namespace tag

// Packed ASCII.
constexpr std::size_t kPackedGroupBytes = 3;
constexpr int kBitsPerCharacter = 6;
constexpr int kCharactersPerGroup = 4;
constexpr std::uint32_t kCharacterBits = 0x3F;
// Six-bit values below it stand for the capitals and the signs after them, 0x40 higher.
constexpr std::uint32_t kBlankOnwards = 0x20;

struct StatusBit {
    std::uint8_t bit;
    const char16_t* text;
};
constexpr std::array<StatusBit, 8> kStatusBits{{
    {0x80, u"Неисправность датчика"},
    {0x40, u"Конфигурация изменена"},
    {0x20, u"Холодный старт"},
    {0x10, u"Есть дополнительный статус"},
    {0x08, u"Ток зафиксирован"},
    {0x04, u"Ток в насыщении"},
    {0x02, u"Непервичная переменная вне пределов"},
    {0x01, u"Первичная переменная вне пределов"},
}};

std::uint16_t Word(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

std::uint32_t ThreeBytes(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} << 16 | Word(bytes, at + 1);
}

QString WithoutTrailingBlanks(QString text) {
    while (text.endsWith(u' ')) {
        text.chop(1);
    }
    return text;
}

}  // namespace

std::optional<DeviceIdentity> DecodeIdentity(std::span<const std::uint8_t> data) {
    using namespace identity;
    if (data.size() < kLength || data[kExpansionAt] != kExpansionCode) {
        return std::nullopt;
    }
    const bool expanded = data[kUniversalRevisionAt] >= kFirstExpandedRevision;
    if (expanded && data.size() < kExpandedLength) {
        return std::nullopt;
    }
    DeviceIdentity device;
    device.universalRevision = data[kUniversalRevisionAt];
    device.manufacturer = expanded ? Word(data, kExpandedManufacturerAt) : data[kManufacturerAt];
    device.deviceType = expanded ? Word(data, kManufacturerAt) : data[kDeviceTypeAt];
    device.deviceId = ThreeBytes(data, kDeviceIdAt);
    device.deviceRevision = data[kDeviceRevisionAt];
    device.softwareRevision = data[kSoftwareRevisionAt];
    device.requestPreambles = data[kRequestPreamblesAt];
    // The same bytes under both layouts: the manufacturer and device type, or the expanded
    // device type, then the device ID.
    device.uniqueAddress = {static_cast<std::uint8_t>(data[kManufacturerAt] & kUniqueAddressBits),
                            data[kDeviceTypeAt], data[kDeviceIdAt], data[kDeviceIdAt + 1],
                            data[kDeviceIdAt + 2]};
    return device;
}

std::optional<TagDescriptorDate> DecodeTagDescriptorDate(std::span<const std::uint8_t> data) {
    using namespace tag;
    if (data.size() < kLength) {
        return std::nullopt;
    }
    return TagDescriptorDate{
        .tag = WithoutTrailingBlanks(UnpackAscii(data.subspan(kTagAt, kTagLength))),
        .descriptor =
            WithoutTrailingBlanks(UnpackAscii(data.subspan(kDescriptorAt, kDescriptorLength))),
        .date = QDate(kYearBase + data[kYearAt], data[kMonthAt], data[kDayAt]),
    };
}

QString UnpackAscii(std::span<const std::uint8_t> packed) {
    QString text;
    for (std::size_t at = 0; at + kPackedGroupBytes <= packed.size(); at += kPackedGroupBytes) {
        const std::uint32_t group = ThreeBytes(packed, at);
        for (int i = kCharactersPerGroup - 1; i >= 0; --i) {
            const std::uint32_t value = (group >> (i * kBitsPerCharacter)) & kCharacterBits;
            text += QLatin1Char(static_cast<char>(value | ((~value & kBlankOnwards) << 1)));
        }
    }
    return text;
}

QString DeviceStatusText(std::uint8_t status) {
    if (status == 0) {
        return QStringLiteral("Норма");
    }
    QStringList meanings;
    for (const StatusBit& bit : kStatusBits) {
        if ((status & bit.bit) != 0) {
            meanings << QString::fromUtf16(bit.text);
        }
    }
    return meanings.join(QStringLiteral(", "));
}

}  // namespace hart

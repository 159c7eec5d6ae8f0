#include "identity.h"

#include <stdexcept>
#include <string>

#include "packed_ascii.h"

namespace sim {

namespace {

// A manufacturer code from the reserved end of the table, so that no real product is implied.
constexpr std::uint16_t kDefaultManufacturer = 0xFA;
constexpr std::uint16_t kDefaultDeviceType = 0x01;
constexpr std::uint32_t kDefaultDeviceIdBase = 0x100000;
constexpr std::uint8_t kDefaultYearsSince1900 = 124;

constexpr std::uint8_t kExpansionCode = 254;
constexpr std::uint8_t kDeviceRevision = 1;
constexpr std::uint8_t kSoftwareRevision = 1;
// Hardware revision in the top five bits, physical signalling (0: Bell 202 current) below.
constexpr std::uint8_t kHardwareAndSignalling = 1 << 3;
constexpr std::uint8_t kFlags = 0;
constexpr std::uint8_t kExtendedDeviceStatus = 0;
constexpr std::uint8_t kProcessAutomationProfile = 1;

void AppendWord(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

void AppendDeviceId(Bytes& out, std::uint32_t id) {
    for (int shift = 16; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(id >> shift));
    }
}

}  // namespace

IdentityTable DefaultIdentities() {
    IdentityTable table;
    for (std::size_t address = 0; address < table.size(); ++address) {
        Identity& identity = table[address];
        identity.manufacturer = kDefaultManufacturer;
        identity.deviceType = kDefaultDeviceType;
        identity.deviceId = kDefaultDeviceIdBase + static_cast<std::uint32_t>(address);
        identity.tag = "PT-" + std::to_string(address);
        identity.descriptor = "TRANSMITTER " + std::to_string(address);
        identity.day = static_cast<std::uint8_t>(1 + address % 28);
        identity.month = static_cast<std::uint8_t>(1 + address % 12);
        identity.yearsSince1900 = kDefaultYearsSince1900;
    }
    return table;
}

void CheckIdentity(const Identity& identity) {
    if (identity.hartRevision == kHartRevision5 &&
        (identity.manufacturer > 0xFF || identity.deviceType > 0xFF)) {
        throw std::invalid_argument(
            "under HART revision 5 the manufacturer code and device type are 0 to 255");
    }
    PackAscii(identity.tag, kTagCharacters);
    PackAscii(identity.descriptor, kDescriptorCharacters);
}

UniqueAddress UniqueAddressOf(const Identity& identity) {
    const std::uint16_t type =
        identity.hartRevision == kHartRevision5
            ? static_cast<std::uint16_t>(identity.manufacturer << 8 | identity.deviceType)
            : identity.deviceType;
    return {static_cast<std::uint8_t>((type >> 8) & kAddressBits), static_cast<std::uint8_t>(type),
            static_cast<std::uint8_t>(identity.deviceId >> 16),
            static_cast<std::uint8_t>(identity.deviceId >> 8),
            static_cast<std::uint8_t>(identity.deviceId)};
}

Bytes UniqueIdentifierData(const Identity& identity, const DeviceCounts& counts) {
    const auto preambles = static_cast<std::uint8_t>(identity.preambles);
    Bytes data = {kExpansionCode};
    if (identity.hartRevision == kHartRevision5) {
        data.push_back(static_cast<std::uint8_t>(identity.manufacturer));
        data.push_back(static_cast<std::uint8_t>(identity.deviceType));
    } else {
        AppendWord(data, identity.deviceType);
    }
    data.insert(data.end(), {preambles, static_cast<std::uint8_t>(identity.hartRevision),
                             kDeviceRevision, kSoftwareRevision, kHardwareAndSignalling, kFlags});
    AppendDeviceId(data, identity.deviceId);
    if (identity.hartRevision == kHartRevision5) {
        return data;
    }
    data.push_back(preambles);
    data.push_back(counts.deviceVariables);
    AppendWord(data, counts.configurationChanges);
    data.push_back(kExtendedDeviceStatus);
    AppendWord(data, identity.manufacturer);
    AppendWord(data, identity.manufacturer);  // private label distributor: sold under its own name
    data.push_back(kProcessAutomationProfile);
    return data;
}

Bytes TagDescriptorDateData(const Identity& identity) {
    Bytes data = PackAscii(identity.tag, kTagCharacters);
    const Bytes descriptor = PackAscii(identity.descriptor, kDescriptorCharacters);
    data.insert(data.end(), descriptor.begin(), descriptor.end());
    data.insert(data.end(), {identity.day, identity.month, identity.yearsSince1900});
    return data;
}

}  // namespace sim

#include "transmitter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <utility>

namespace sim {

namespace {

constexpr std::array<double, 3> kKpaPerUnit = {98.0665, 1000.0, 1.0};

// Unit codes of the quantities that are no pressure.
constexpr std::uint8_t kMilliampere = 39;
constexpr std::uint8_t kCelsius = 32;
constexpr std::uint8_t kSecond = 51;
constexpr std::uint8_t kNoUnit = 250;

constexpr double kMinCurrentMa = 3.8;
constexpr double kMaxCurrentMa = 20.5;

// The codes that command 3 reports, in its order: current, pressure, Um, Udif, temperature.
constexpr std::array<std::uint8_t, 5> kCurrentAndVariables = {1, 0, 2, 3, 4};
// Command 33 asks for four variables, their codes six bytes apart.
constexpr std::size_t kVariableSlots = 4;
constexpr std::size_t kVariableStride = 6;

// A written number that is not finite is refused rather than kept.
bool FiniteAt(std::span<const std::uint8_t> data, std::size_t offset, double& value) {
    value = FloatAt(data, offset);
    return std::isfinite(value);
}

void AppendNumber(Bytes& out, double value) {
    AppendFloat(out, static_cast<float>(value));
}

}  // namespace

const Transmitter::Command Transmitter::kCommands[] = {
    {kReadUniqueIdentifier, 0, false, &Transmitter::ReadUniqueIdentifier},
    {1, 0, false, &Transmitter::ReadPrimary},
    {3, 0, false, &Transmitter::ReadCurrentAndVariables},
    {6, 1, true, &Transmitter::WritePollAddress},
    {13, 0, false, &Transmitter::ReadTagDescriptorDate},
    {33, (kVariableSlots - 1) * kVariableStride + 1, false, &Transmitter::ReadDeviceVariables},
    {34, 4, true, &Transmitter::WriteDamping},
    {35, 9, true, &Transmitter::WriteRange},
    {36, 0, true, &Transmitter::CorrectRange},
    {37, 0, true, &Transmitter::CorrectZero},
    {40, 4, false, &Transmitter::FixCurrent},
    {44, 1, true, &Transmitter::WriteUnits},
};

const Transmitter::Variable Transmitter::kVariables[] = {
    {true, 0, &Transmitter::Pressure},
    {false, kMilliampere, &Transmitter::CurrentMa},
    {false, kNoUnit, &Transmitter::Um},
    {false, kNoUnit, &Transmitter::Udif},
    {false, kCelsius, &Transmitter::ElectronicsCelsius},
    {false, kCelsius, &Transmitter::GaugeCelsius},
    {false, kSecond, &Transmitter::Damping},
    {true, 0, &Transmitter::Upper},
    {true, 0, &Transmitter::Lower},
};

Transmitter::Transmitter(std::uint8_t pollAddress, unsigned variant, Identity identity)
    : sensor_(variant), pollAddress_(pollAddress), identity_(std::move(identity)) {}

bool Transmitter::Hears(const Request& request) const {
    switch (request.addressing) {
        case Addressing::Poll:
            return request.address.back() == pollAddress_;
        case Addressing::Short:
            return request.command == kReadUniqueIdentifier &&
                   (request.address.front() & kAddressBits) == pollAddress_;
        case Addressing::Unique: {
            const UniqueAddress unique = UniqueAddressOf(identity_);
            return (request.address.front() & kAddressBits) == unique.front() &&
                   std::equal(unique.begin() + 1, unique.end(), request.address.begin() + 1);
        }
    }
    return false;
}

Reply Transmitter::Handle(std::uint8_t command, std::span<const std::uint8_t> data,
                          double seconds) {
    const auto entry = std::find_if(std::begin(kCommands), std::end(kCommands),
                                    [command](const Command& c) { return c.number == command; });
    if (entry == std::end(kCommands)) {
        return {kCommandNotImplemented, {}};
    }
    if (data.size() < entry->dataNeeded) {
        return {kTooFewDataBytes, {}};
    }
    Reply reply = (this->*entry->handler)(data, seconds);
    if (entry->changesConfiguration && reply.status == 0) {
        ++configurationChanges_;
    }
    return reply;
}

Reply Transmitter::ReadUniqueIdentifier(std::span<const std::uint8_t>, double) {
    const DeviceCounts counts{static_cast<std::uint8_t>(std::size(kVariables)),
                              configurationChanges_};
    return {0, UniqueIdentifierData(identity_, counts)};
}

Reply Transmitter::ReadTagDescriptorDate(std::span<const std::uint8_t>, double) {
    return {0, TagDescriptorDateData(identity_)};
}

Reply Transmitter::ReadPrimary(std::span<const std::uint8_t>, double seconds) {
    Reply reply{0, {unit_}};
    AppendVariable(reply.data, 0, seconds);
    return reply;
}

Reply Transmitter::ReadCurrentAndVariables(std::span<const std::uint8_t>, double seconds) {
    Reply reply;
    for (const std::uint8_t code : kCurrentAndVariables) {
        AppendVariable(reply.data, code, seconds);
    }
    return reply;
}

Reply Transmitter::WritePollAddress(std::span<const std::uint8_t> data, double) {
    pollAddress_ = data[0];
    return {0, {pollAddress_}};
}

Reply Transmitter::ReadDeviceVariables(std::span<const std::uint8_t> data, double seconds) {
    Reply reply;
    for (std::size_t slot = 0; slot < kVariableSlots; ++slot) {
        const std::uint8_t code = data[slot * kVariableStride];
        reply.data.push_back(code);
        reply.data.push_back(UnitCodeOf(code));
        AppendVariable(reply.data, code, seconds);
    }
    return reply;
}

Reply Transmitter::WriteDamping(std::span<const std::uint8_t> data, double) {
    double damping = 0.0;
    if (!FiniteAt(data, 0, damping) || damping < 0.0) {
        return {kInvalidSelection, {}};
    }
    damping_ = damping;
    Reply reply;
    AppendNumber(reply.data, damping_);
    return reply;
}

Reply Transmitter::WriteRange(std::span<const std::uint8_t> data, double) {
    double upper = 0.0;
    double lower = 0.0;
    if (!FiniteAt(data, 1, upper) || !FiniteAt(data, 5, lower)) {
        return {kInvalidSelection, {}};
    }
    // The values are taken in the unit the transmitter keeps, whatever the unit byte says.
    upperKpa_ = FromUnit(upper);
    lowerKpa_ = FromUnit(lower);
    Reply reply{0, {unit_}};
    AppendNumber(reply.data, ToUnit(upperKpa_));
    AppendNumber(reply.data, ToUnit(lowerKpa_));
    return reply;
}

Reply Transmitter::CorrectRange(std::span<const std::uint8_t>, double seconds) {
    // The pressure applied now is taken as the upper range value: the gain is rescaled so that it
    // reads so. A pressure near zero cannot serve as reference.
    const double reading = ReadingKpa(seconds);
    if (upperKpa_ <= 0.0 || reading < 0.01 * upperKpa_) {
        return {kProcessTooLow, {}};
    }
    gain_ *= upperKpa_ / reading;
    return {};
}

Reply Transmitter::CorrectZero(std::span<const std::uint8_t>, double seconds) {
    zeroKpa_ = sensor_.PressureKpa(seconds);
    return {};
}

Reply Transmitter::FixCurrent(std::span<const std::uint8_t> data, double) {
    double current = 0.0;
    if (!FiniteAt(data, 0, current)) {
        return {kInvalidSelection, {}};
    }
    fixedMa_ = current == 0.0 ? 0.0 : current;  // a negative zero also ends the mode
    Reply reply;
    AppendNumber(reply.data, fixedMa_);
    return reply;
}

Reply Transmitter::WriteUnits(std::span<const std::uint8_t> data, double) {
    if (data[0] >= kKpaPerUnit.size()) {
        return {kInvalidSelection, {}};
    }
    unit_ = data[0];
    return {0, {unit_}};
}

double Transmitter::Pressure(double seconds) const {
    return ToUnit(ReadingKpa(seconds));
}

double Transmitter::CurrentMa(double seconds) const {
    if (fixedMa_ != 0.0) {
        return fixedMa_;
    }
    const double share = (ReadingKpa(seconds) - lowerKpa_) / (upperKpa_ - lowerKpa_);
    if (!std::isfinite(share)) {
        return kMinCurrentMa;  // an empty range written
    }
    return std::clamp(4.0 + 16.0 * share, kMinCurrentMa, kMaxCurrentMa);
}

double Transmitter::Um(double seconds) const {
    return sensor_.UmCode(seconds);
}

double Transmitter::Udif(double seconds) const {
    return sensor_.UdifCode(seconds);
}

double Transmitter::ElectronicsCelsius(double seconds) const {
    return sensor_.ElectronicsCelsius(seconds);
}

double Transmitter::GaugeCelsius(double seconds) const {
    return sensor_.GaugeCelsius(seconds);
}

double Transmitter::Damping(double) const {
    return damping_;
}

double Transmitter::Upper(double) const {
    return ToUnit(upperKpa_);
}

double Transmitter::Lower(double) const {
    return ToUnit(lowerKpa_);
}

void Transmitter::AppendVariable(Bytes& out, std::uint8_t code, double seconds) const {
    if (code >= std::size(kVariables)) {
        AppendNumber(out, std::numeric_limits<double>::quiet_NaN());
        return;
    }
    AppendNumber(out, std::invoke(kVariables[code].value, this, seconds));
}

std::uint8_t Transmitter::UnitCodeOf(std::uint8_t code) const {
    if (code >= std::size(kVariables)) {
        return kNoUnit;
    }
    return kVariables[code].pressure ? unit_ : kVariables[code].unitCode;
}

double Transmitter::ReadingKpa(double seconds) const {
    return (sensor_.PressureKpa(seconds) - zeroKpa_) * gain_;
}

double Transmitter::ToUnit(double kpa) const {
    return kpa / kKpaPerUnit[unit_];
}

double Transmitter::FromUnit(double value) const {
    return value * kKpaPerUnit[unit_];
}

}  // namespace sim

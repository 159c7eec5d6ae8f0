#pragma once
// One pressure transmitter: what it keeps, what it reads, and how it answers each command.

#include <cstdint>
#include <span>

#include "identity.h"
#include "sensor.h"
#include "wire_format.h"

namespace sim {

// Response codes of the first status byte.
inline constexpr std::uint8_t kInvalidSelection = 2;
inline constexpr std::uint8_t kTooFewDataBytes = 5;
inline constexpr std::uint8_t kProcessTooLow = 10;
inline constexpr std::uint8_t kCommandNotImplemented = 64;

// The one command that a short frame may carry.
inline constexpr std::uint8_t kReadUniqueIdentifier = 0;

struct Reply {
    std::uint8_t status = 0;
    Bytes data;
};

class Transmitter {
public:
    Transmitter(std::uint8_t pollAddress, unsigned variant, Identity identity);

    std::uint8_t PollAddress() const { return pollAddress_; }
    std::size_t Preambles() const { return identity_.preambles; }
    // Whether the request is meant for this transmitter and is one it answers in that form.
    bool Hears(const Request& request) const;

    // Carries out a command that arrived `seconds` after the simulator started.
    Reply Handle(std::uint8_t command, std::span<const std::uint8_t> data, double seconds);

private:
    using Handler = Reply (Transmitter::*)(std::span<const std::uint8_t>, double);
    struct Command {
        std::uint8_t number;
        std::size_t dataNeeded;
        bool changesConfiguration;  // counted for command 0 under revision 7
        Handler handler;
    };
    using Getter = double (Transmitter::*)(double) const;
    struct Variable {
        bool pressure;          // carries the unit index kept
        std::uint8_t unitCode;  // otherwise
        Getter value;
    };
    static const Command kCommands[];
    static const Variable kVariables[];

    Reply ReadUniqueIdentifier(std::span<const std::uint8_t> data, double seconds);
    Reply ReadTagDescriptorDate(std::span<const std::uint8_t> data, double seconds);
    Reply ReadPrimary(std::span<const std::uint8_t> data, double seconds);
    Reply ReadCurrentAndVariables(std::span<const std::uint8_t> data, double seconds);
    Reply WritePollAddress(std::span<const std::uint8_t> data, double seconds);
    Reply ReadDeviceVariables(std::span<const std::uint8_t> data, double seconds);
    Reply WriteDamping(std::span<const std::uint8_t> data, double seconds);
    Reply WriteRange(std::span<const std::uint8_t> data, double seconds);
    Reply CorrectRange(std::span<const std::uint8_t> data, double seconds);
    Reply CorrectZero(std::span<const std::uint8_t> data, double seconds);
    Reply FixCurrent(std::span<const std::uint8_t> data, double seconds);
    Reply WriteUnits(std::span<const std::uint8_t> data, double seconds);

    // Device variables by code; pressures in the unit kept.
    double Pressure(double seconds) const;
    double CurrentMa(double seconds) const;
    double Um(double seconds) const;
    double Udif(double seconds) const;
    double ElectronicsCelsius(double seconds) const;
    double GaugeCelsius(double seconds) const;
    double Damping(double seconds) const;
    double Upper(double seconds) const;
    double Lower(double seconds) const;

    void AppendVariable(Bytes& out, std::uint8_t code, double seconds) const;
    std::uint8_t UnitCodeOf(std::uint8_t code) const;
    double ReadingKpa(double seconds) const;
    double ToUnit(double kpa) const;
    double FromUnit(double value) const;

    Sensor sensor_;
    std::uint8_t pollAddress_;
    Identity identity_;
    std::uint16_t configurationChanges_ = 0;
    std::uint8_t unit_ = 0;  // 0 kgf/cm2, 1 MPa, 2 kPa
    double damping_ = 2.0;
    double upperKpa_ = Sensor::kSpanKpa;
    double lowerKpa_ = 0.0;
    double zeroKpa_ = 0.0;
    double gain_ = 1.0;
    double fixedMa_ = 0.0;  // 0: the current follows the pressure
};

}  // namespace sim

#pragma once
// Where registration mode reports each slot's readings as numbers, for those who follow them over
// time: a run starting, every decoded answer, and a slot given up as silent.

#include <cstdint>
#include <span>

namespace commands {

class RegistrationReadingSink {
public:
    virtual ~RegistrationReadingSink() = default;
    // "Старт" began a new registration run.
    virtual void RegistrationStarted() = 0;
    // A registration answer of `command` from `address` was decoded. `values` are the floats it
    // carries, in the order of the answer; empty when its checksum was wrong. `units` are the unit
    // codes it gives with them, in the same order; empty where it gives none.
    virtual void RegistrationReading(std::uint8_t address, std::uint8_t command,
                                     std::span<const float> values,
                                     std::span<const std::uint8_t> units) = 0;
    // Slot `slot` (1..10) did not answer within the attempt limit.
    virtual void RegistrationSilent(int slot) = 0;
};

// A sink nobody listens to, for a receive path without a trend.
inline RegistrationReadingSink& IgnoredRegistrationReadings() {
    class Ignored : public RegistrationReadingSink {
        void RegistrationStarted() override {}
        void RegistrationReading(std::uint8_t, std::uint8_t, std::span<const float>,
                                 std::span<const std::uint8_t>) override {}
        void RegistrationSilent(int) override {}
    };
    static Ignored sink;
    return sink;
}

}  // namespace commands

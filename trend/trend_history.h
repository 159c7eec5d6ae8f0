#pragma once
// The trend of a registration run: per slot, its readings in the order they came, with a break
// where the slot fell silent or its answer could not be trusted. Appending is constant-time, and
// readings more than seven days older than the newest reading are dropped.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "hart/program_state.h"
#include "trend/reading.h"
#include "trend/slot_readings.h"

namespace trend {

inline constexpr Milliseconds kKeptFor = 7LL * 24 * 3600 * 1000;

class TrendHistory {
public:
    // Starts a new trend: every slot's readings are forgotten.
    void Clear();
    // A reading of slot 1..10 at `time` by `command` (1, 3 or 33) with the answer's values and
    // unit codes; the values it lacks are NaN, the unit codes it lacks 0. A reading dated before
    // the slot's last one (the clock was set back) takes that one's time, so that each slot's
    // readings stay in time order.
    void AppendReading(int slot, Milliseconds time, std::uint8_t command,
                       std::span<const float> values, std::span<const std::uint8_t> units = {});
    // The line of slot 1..10 breaks at `time`; nothing when it is broken already or empty.
    void AppendBreak(int slot, Milliseconds time);

    const SlotReadings& Readings(int slot) const { return slots_.at(slot); }
    bool HasReadings(int slot) const { return !Readings(slot).Empty(); }
    // The newest reading of slot 1..10 that is no break; none while it has none.
    std::optional<Reading> NewestReading(int slot) const;
    // The oldest and the newest reading of all slots; none while there is none.
    std::optional<Milliseconds> Oldest() const;
    std::optional<Milliseconds> Newest() const { return newest_; }
    // The command of the newest reading, 0 while there is none.
    std::uint8_t NewestCommand() const { return newestCommand_; }

private:
    Milliseconds InOrder(int slot, Milliseconds time) const;
    void DropOlderThanKept();

    std::array<SlotReadings, hart::kSlotCount + 1> slots_;  // index 0 is unused
    std::optional<Milliseconds> newest_;
    std::uint8_t newestCommand_ = 0;
};

}  // namespace trend

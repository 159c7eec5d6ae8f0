#pragma once
// When the poll addresses told to make noise send their next random byte.

#include <array>
#include <optional>

#include "answer_plan.h"
#include "faults.h"

namespace sim {

class NoiseSchedule {
public:
    // How many noise bytes are due at `now`; moves each address on to its next byte. A rate
    // that fell behind starts afresh instead of bursting.
    std::size_t TakeDue(const FaultTable& faults, Clock::time_point now);
    std::optional<Clock::time_point> NextDue() const;

private:
    std::array<std::optional<Clock::time_point>, std::tuple_size_v<FaultTable>> next_{};
};

}  // namespace sim

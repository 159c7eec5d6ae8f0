#include "noise_schedule.h"

namespace sim {

std::size_t NoiseSchedule::TakeDue(const FaultTable& faults, Clock::time_point now) {
    std::size_t due = 0;
    for (std::size_t address = 0; address < faults.size(); ++address) {
        const unsigned rate = faults[address].noisePerSecond;
        std::optional<Clock::time_point>& next = next_[address];
        if (rate == 0) {
            next.reset();
            continue;
        }
        const auto period =
            std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) / rate;
        if (!next) {
            next = now + period;
        } else if (*next <= now) {
            ++due;
            *next += period;
            if (*next <= now) {
                *next = now + period;
            }
        }
    }
    return due;
}

std::optional<Clock::time_point> NoiseSchedule::NextDue() const {
    std::optional<Clock::time_point> earliest;
    for (const auto& next : next_) {
        if (next && (!earliest || *next < *earliest)) {
            earliest = next;
        }
    }
    return earliest;
}

}  // namespace sim

#include "trend/trend_recorder.h"

#include <QDateTime>

namespace trend {
namespace {

bool IsSlot(int number) {
    return number >= 1 && number <= hart::kSlotCount;
}

}  // namespace

TrendRecorder::TrendRecorder(Clock clock, QObject* parent)
    : QObject(parent), clock_(clock ? std::move(clock) : &QDateTime::currentMSecsSinceEpoch) {}

void TrendRecorder::RegistrationStarted() {
    history_.Clear();
    emit Restarted();
}

void TrendRecorder::RegistrationReading(std::uint8_t address, std::uint8_t command,
                                        std::span<const float> values,
                                        std::span<const std::uint8_t> units) {
    if (!IsSlot(address)) {
        return;
    }
    const Milliseconds now = clock_();
    if (values.empty()) {
        history_.AppendBreak(address, now);
    } else {
        history_.AppendReading(address, now, command, values, units);
    }
    emit Changed();
}

void TrendRecorder::RegistrationSilent(int slot) {
    if (!IsSlot(slot)) {
        return;
    }
    history_.AppendBreak(slot, clock_());
    emit Changed();
}

}  // namespace trend

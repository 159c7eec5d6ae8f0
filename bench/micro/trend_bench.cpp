// Why a slot's readings are kept in SlotReadings (chunks of a column per field, the unit codes
// where they change) rather than in a std::deque<trend::Reading>: the heap seven days of ten slots
// at period 1 take, and the time to reduce one value of ten slots over a day and over seven.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <array>
#include <deque>
#include <limits>
#include <memory>
#include <vector>

#include "trend/line_reduction.h"
#include "trend/slot_readings.h"

namespace {

constexpr trend::Milliseconds kStart = 1'700'000'000'000;
constexpr long kDay = 24 * 3600;
constexpr long kWeek = 7 * kDay;  // readings of a slot at period 1
constexpr int kSlots = 10;

// The reading of command 3 at `second`, its values drifting, with no unit codes of its own.
trend::Reading ReadingAt(long second) {
    const auto drift = static_cast<float>(second % 1000) * 0.001f;
    return {kStart + second * 1000, {12.0f + drift, 1.5f + drift, 1234, 567, 23.5f}, 3, {}};
}

double HeapBytes() {
    return static_cast<double>(mallinfo2().uordblks);
}

// Fills `slots` with seven days of readings and reports the heap they take.
template <typename Slots, typename Append>
void WeekOfTenSlots(benchmark::State& state, Append append) {
    for (auto _ : state) {
        const double before = HeapBytes();
        auto week = std::make_unique<Slots>();
        for (long second = 0; second < kWeek; ++second) {
            for (auto& slot : *week) {
                append(slot, ReadingAt(second));
            }
        }
        const double bytes = HeapBytes() - before;
        state.counters["bytes/reading"] = bytes / (kSlots * kWeek);
        state.counters["MiB"] = bytes / (1024.0 * 1024.0);
        benchmark::DoNotOptimize(week);
    }
}

void MemorySlotReadings(benchmark::State& state) {
    WeekOfTenSlots<std::array<trend::SlotReadings, kSlots>>(
        state,
        [](trend::SlotReadings& slot, const trend::Reading& reading) { slot.PushBack(reading); });
}
BENCHMARK(MemorySlotReadings)->Iterations(1)->Unit(benchmark::kMillisecond);

void MemoryDeque(benchmark::State& state) {
    WeekOfTenSlots<std::array<std::deque<trend::Reading>, kSlots>>(
        state, [](std::deque<trend::Reading>& slot, const trend::Reading& reading) {
            slot.push_back(reading);
        });
}
BENCHMARK(MemoryDeque)->Iterations(1)->Unit(benchmark::kMillisecond);

// The smallest and largest first variable of each of ten slots over `state.range(0)` seconds: the
// work of a redraw's reductions without their columns. A day of ten slots fits in the caches of
// this machine, seven days do not.
template <typename Slot, typename Append, typename Extremes>
void TenSlotExtremes(benchmark::State& state, Append append, Extremes extremes) {
    std::vector<Slot> ten(kSlots);
    for (long second = 0; second < state.range(0); ++second) {
        for (Slot& slot : ten) {
            append(slot, ReadingAt(second));
        }
    }
    for (auto _ : state) {
        float low = std::numeric_limits<float>::max();
        float high = std::numeric_limits<float>::lowest();
        for (const Slot& slot : ten) {
            extremes(slot, low, high);
        }
        benchmark::DoNotOptimize(low);
        benchmark::DoNotOptimize(high);
    }
    state.counters["ns/reading"] =
        benchmark::Counter(static_cast<double>(state.iterations() * kSlots * state.range(0)),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void ExtremesSlotReadings(benchmark::State& state) {
    TenSlotExtremes<trend::SlotReadings>(
        state,
        [](trend::SlotReadings& slot, const trend::Reading& reading) { slot.PushBack(reading); },
        [](const trend::SlotReadings& slot, float& low, float& high) {
            slot.ForEachValue(
                0, slot.Size(), trend::Variable::First,
                [&](std::size_t, trend::Milliseconds, float value) {
                    low = std::min(low, value);
                    high = std::max(high, value);
                },
                [] {});
        });
}
BENCHMARK(ExtremesSlotReadings)->Arg(kDay)->Arg(kWeek)->Unit(benchmark::kMillisecond);

void ExtremesDeque(benchmark::State& state) {
    TenSlotExtremes<std::deque<trend::Reading>>(
        state,
        [](std::deque<trend::Reading>& slot, const trend::Reading& reading) {
            slot.push_back(reading);
        },
        [](const std::deque<trend::Reading>& slot, float& low, float& high) {
            // As SlotReadings does, the value's place is looked up again only where the command
            // changes.
            std::uint8_t command = 0;
            std::optional<int> valueAt;
            for (const trend::Reading& reading : slot) {
                if (reading.command != command) {
                    command = reading.command;
                    valueAt = trend::ValueIndex(command, trend::Variable::First);
                }
                if (valueAt) {
                    const float value = reading.values[static_cast<std::size_t>(*valueAt)];
                    low = std::min(low, value);
                    high = std::max(high, value);
                }
            }
        });
}
BENCHMARK(ExtremesDeque)->Arg(kDay)->Arg(kWeek)->Unit(benchmark::kMillisecond);

// The whole reduction of a day to a chart 1100 pixels wide, for scale.
void DayReduction(benchmark::State& state) {
    trend::SlotReadings day;
    for (long second = 0; second < kDay; ++second) {
        day.PushBack(ReadingAt(second));
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(trend::ReduceLine(day, trend::Variable::First,
                                                   {kStart, kStart + kDay * 1000}, 1100, 64));
    }
}
BENCHMARK(DayReduction)->Unit(benchmark::kMicrosecond);

}  // namespace

// One complete answer of each command collected and dispatched, in setup mode and (for the three
// read commands) in registration mode, into the real tabs of a shown window. Pending repaints run
// outside the timing every 64 answers, as the event loop would run them between answers.

#include <benchmark/benchmark.h>

#include <QString>
#include <vector>

#include "bench/micro/receive_path.h"
#include "tests/support/test_frames.h"

namespace {

using testframes::Bytes;

struct CommandAnswer {
    std::uint8_t command;
    Bytes data;
};

// Answer data of every command, as a transmitter sends it.
const std::vector<CommandAnswer> kAnswers{
    {1, {12, 66, 202, 166, 102}},
    {3, {65, 64, 0, 0, 63, 192, 0, 0, 68, 154, 64, 0, 68, 13, 192, 0, 65, 187, 167, 82}},
    {6, {7}},
    {33, {0, 12, 66, 202, 166, 102, 1, 39, 65, 64,  0,   0,
          2, 0,  68, 154, 64,  0,   4, 32, 65, 187, 167, 82}},
    {34, {65, 32, 0, 0}},
    {35, {12, 67, 200, 0, 0, 0, 0, 0, 0}},
    {36, {}},
    {37, {}},
    {40, {64, 128, 0, 0}},
    {44, {12}},
};

constexpr int kSettleEvery = 64;

void CollectAndDispatch(benchmark::State& state, std::uint8_t mode, const CommandAnswer& answer) {
    bench::ReceivePath path(mode);
    std::vector<Bytes> frames;
    for (std::uint8_t slot = 1; slot <= hart::kSlotCount; ++slot) {
        frames.push_back(
            testframes::Response(mode == hart::kModeSetup ? 0 : slot, answer.command, answer.data));
    }
    std::size_t next = 0;
    int sinceSettle = 0;
    for (auto _ : state) {
        path.Receive(frames[next]);
        next = (next + 1) % frames.size();
        if (++sinceSettle == kSettleEvery) {
            state.PauseTiming();
            path.Settle();
            sinceSettle = 0;
            state.ResumeTiming();
        }
    }
}

const bool kRegistered = [] {
    for (const CommandAnswer& answer : kAnswers) {
        benchmark::RegisterBenchmark(
            ("CollectAndDispatch/setup/command" + std::to_string(answer.command)).c_str(),
            [&answer](benchmark::State& state) {
                CollectAndDispatch(state, hart::kModeSetup, answer);
            });
    }
    for (const CommandAnswer& answer : kAnswers) {
        if (answer.command == 1 || answer.command == 3 || answer.command == 33) {
            benchmark::RegisterBenchmark(
                ("CollectAndDispatch/registration/command" + std::to_string(answer.command))
                    .c_str(),
                [&answer](benchmark::State& state) {
                    CollectAndDispatch(state, hart::kModeRegistration, answer);
                });
        }
    }
    return true;
}();

}  // namespace

// The value conversions of every decoded number and every typed parameter, and the time text of
// every table row.

#include <benchmark/benchmark.h>

#include <array>

#include "hart/time_text.h"
#include "hart/value_encodings.h"

namespace {

// Bytes in arrival order: a pressure, a small fraction, a negative value, a huge one.
constexpr std::array<std::array<std::uint8_t, 4>, 4> kWireValues{{
    {66, 202, 166, 102},
    {57, 1, 116, 45},
    {192, 32, 0, 0},
    {78, 235, 107, 40},
}};

void BytesToFloatText(benchmark::State& state) {
    const auto& bytes = kWireValues[static_cast<std::size_t>(state.range(0))];
    for (auto _ : state) {
        benchmark::DoNotOptimize(hart::BytesToFloatText(bytes[0], bytes[1], bytes[2], bytes[3]));
    }
}
BENCHMARK(BytesToFloatText)->DenseRange(0, 3);

void TextToFloatBytes(benchmark::State& state) {
    const std::array<QString, 3> texts{QStringLiteral("101.325"), QStringLiteral("-2,5"),
                                       QStringLiteral("1,5e-3")};
    const QString& text = texts[static_cast<std::size_t>(state.range(0))];
    for (auto _ : state) {
        benchmark::DoNotOptimize(hart::TextToFloatBytes(text));
    }
}
BENCHMARK(TextToFloatBytes)->DenseRange(0, 2);

void WholeNumberText(benchmark::State& state) {
    const QString text = QStringLiteral("1234,4999512");
    for (auto _ : state) {
        benchmark::DoNotOptimize(hart::WholeNumberText(text));
    }
}
BENCHMARK(WholeNumberText);

void TimeAndDateText(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(::TimeAndDateText());
    }
}
BENCHMARK(TimeAndDateText);

}  // namespace

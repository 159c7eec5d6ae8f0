#include "trend/quantity.h"

#include <algorithm>
#include <array>

#include "commands/catalogue.h"

namespace trend {
namespace {

// What each value of a polled command's answer is, in the order the answer carries them, as the
// decoders name them. A null unit is the one the answer's unit code names.
struct ValueMeaning {
    const char* name;
    const char* unit;
};

struct CommandMeanings {
    std::uint8_t command;
    std::array<ValueMeaning, kMaxValues> values;
};

// clang-format off
constexpr std::array<CommandMeanings, 3> kMeanings{{
    {1,  {{{"Давление", nullptr}}}},
    {3,  {{{"Ток", "мА"}, {"Давление", ""}, {"Um", ""}, {"Udif", ""},
           {"Температура микропроцессора", "°C"}}}},
    {33, {{{"Переменная 1", nullptr}, {"Переменная 2", nullptr}, {"Переменная 3", nullptr},
           {"Переменная 4", nullptr}}}},
}};
// clang-format on

}  // namespace

QString Quantity::Text() const {
    return unit.isEmpty() ? name : name + QStringLiteral(", ") + unit;
}

Quantity QuantityOf(std::uint8_t command, Variable variable, const UnitCodes& units) {
    const std::optional<int> index = ValueIndex(command, variable);
    const auto* meanings = std::ranges::find(kMeanings, command, &CommandMeanings::command);
    if (!index || meanings == kMeanings.end()) {
        return {};
    }
    const auto at = static_cast<std::size_t>(*index);
    const ValueMeaning& meaning = meanings->values[at];
    return {QString::fromUtf8(meaning.name), meaning.unit != nullptr
                                                 ? QString::fromUtf8(meaning.unit)
                                                 : commands::PressureUnitText(units[at])};
}

}  // namespace trend

#include "trend/reading.h"

namespace trend {

std::optional<int> ValueIndex(std::uint8_t command, Variable variable) {
    const commands::CommandRow* row = commands::RowOfCommand(command);
    if (row == nullptr || !row->Polled()) {
        return std::nullopt;
    }
    const commands::PolledValues& polled = row->polled;
    if (polled.Count() == 1) {
        return 0;
    }
    if (variable == Variable::Current) {
        return polled.currentFirst ? std::optional(0) : std::nullopt;
    }
    const int firstVariableAt = polled.currentFirst ? 1 : 0;
    const int index =
        firstVariableAt + static_cast<int>(variable) - static_cast<int>(Variable::First);
    return index < polled.Count() ? std::optional(index) : std::nullopt;
}

bool ChoiceApplies(std::uint8_t command) {
    const commands::CommandRow* row = commands::RowOfCommand(command);
    return row == nullptr || row->polled.Count() != 1;
}

bool CurrentChoosable(std::uint8_t command) {
    const commands::CommandRow* row = commands::RowOfCommand(command);
    return row == nullptr || row->polled.Count() <= 1 || row->polled.currentFirst;
}

std::optional<float> ValueOf(const Reading& reading, Variable variable) {
    const std::optional<int> index = ValueIndex(reading.command, variable);
    return index ? std::optional(reading.values[static_cast<std::size_t>(*index)]) : std::nullopt;
}

}  // namespace trend

#include "trend/sample.h"

namespace trend {

std::optional<int> ValueIndex(std::uint8_t command, Variable variable) {
    const auto chosen = static_cast<int>(variable);
    switch (command) {
        case 1:
            return 0;
        case 3:
            return chosen;
        case 33:
            return variable == Variable::Current ? std::nullopt : std::optional(chosen - 1);
        default:
            return std::nullopt;
    }
}

std::optional<float> ValueOf(const Sample& sample, Variable variable) {
    const std::optional<int> index = ValueIndex(sample.command, variable);
    return index ? std::optional(sample.values[static_cast<std::size_t>(*index)]) : std::nullopt;
}

}  // namespace trend

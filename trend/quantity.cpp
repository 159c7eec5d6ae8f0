#include "trend/quantity.h"

#include "commands/catalogue.h"

namespace trend {

QString Quantity::Text() const {
    return unit.isEmpty() ? name : name + QStringLiteral(", ") + unit;
}

Quantity QuantityOf(std::uint8_t command, Variable variable, const UnitCodes& units) {
    const std::optional<int> index = ValueIndex(command, variable);
    if (!index) {
        return {};
    }
    const auto at = static_cast<std::size_t>(*index);
    const commands::PolledValue& value = commands::RowOfCommand(command)->polled.values[at];
    return {QString::fromUtf8(value.quantity), value.unit != nullptr
                                                   ? QString::fromUtf8(value.unit)
                                                   : commands::PressureUnitText(units[at])};
}

}  // namespace trend

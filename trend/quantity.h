#pragma once
// What a value of the trend measures, and in which unit as far as the answers say, as the
// command's row in the catalogue names them: a unit code the answer gives with a value is named
// as the units dialog names it.

#include <QString>
#include <cstdint>

#include "trend/reading.h"

namespace trend {

struct Quantity {
    QString name;  // empty where the command does not carry the value
    QString unit;  // empty where nothing says it

    // "name, unit", or the name alone without a unit.
    QString Text() const;
    bool operator==(const Quantity&) const = default;
};

// The quantity that `variable` picks from a reading of `command` with unit codes `units`.
Quantity QuantityOf(std::uint8_t command, Variable variable, const UnitCodes& units = {});

}  // namespace trend

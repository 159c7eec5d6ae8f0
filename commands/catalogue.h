#pragma once
// The command catalogue of the setup tab and the three read commands of the registration tab.

#include <QStringList>
#include <array>
#include <cstdint>

namespace commands {

// The entries of the setup command list, in list order.
QStringList CatalogueTexts();

// A read command of the registration list, with the rows its answers occupy in the registration
// table: the block of a transmitter is searched for in rows 1..searchRange and takes blockSize rows.
struct RegistrationCommand {
    std::uint8_t command;
    int searchRange;
    int blockSize;
};

inline constexpr std::array<RegistrationCommand, 3> kRegistrationCommands{{
    {1, 10, 1},
    {3, 50, 5},
    {33, 40, 4},
}};

// The entries of the registration command list, in list order.
QStringList RegistrationCommandTexts();

// The nine device variables of the variables dialog's lists, by variable code.
QStringList DeviceVariableTexts();

// The three pressure units of the units dialog, by unit index.
QStringList PressureUnitTexts();

}  // namespace commands

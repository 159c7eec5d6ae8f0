#pragma once
// The device variables a transmitter offers, and how command 33 reads them.
//
// Command 33 reads four device variables at once. Its request names their codes, one every
// kVariableGroupSize data bytes; its answer brings a group of kVariableGroupSize bytes for each:
// the code, the unit and the value's four bytes.

#include <array>
#include <cstdint>

namespace commands {

inline constexpr int kVariableGroups = 4;
inline constexpr int kVariableGroupSize = 6;
// Within a group of the answer.
inline constexpr int kVariableUnitAt = 1;
inline constexpr int kVariableValueAt = 2;
inline constexpr std::uint8_t kVariableRequestBytes =
    (kVariableGroups - 1) * kVariableGroupSize + 1;

struct DeviceVariable {
    const char* name;   // in the variables dialog's lists, UTF-8
    const char* label;  // before its value in a protocol line, UTF-8
    bool wholeNumber;   // converter readings and the damping value read as whole numbers
};

// By variable code. One row a line, so that the list reads as a table.
// clang-format off
inline constexpr std::array<DeviceVariable, 9> kDeviceVariables{{
    {"Давление/Pressure",           "Pressure:", false},
    {"Токовый сигнал/Iout",         "Iout,mA:",  false},
    {"Um",                          "Um:",       true},
    {"Udif",                        "Udif:",     true},
    {"Температура микропроцессора", "t(°C):",    false},
    {"Температура тензодатчика",    "t(°C):",    false},
    {"Величина демпфирования",      "Nusr:",     true},
    {"Верхний предел (Pmax)",       "Pmax",      false},
    {"Нижний предел (Pmin)",        "Pmin",      false},
}};
// clang-format on

// The variable of `code`; null for a code outside the list.
constexpr const DeviceVariable* DeviceVariableOf(int code) {
    return code >= 0 && code < static_cast<int>(kDeviceVariables.size()) ? &kDeviceVariables[code]
                                                                         : nullptr;
}

}  // namespace commands

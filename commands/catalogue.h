#pragma once
// The command catalogue: one row per command with everything the program knows of it. The setup
// command list shows every row in order; the registration command list shows the rows that
// registration mode polls with, in the same order.

#include <QStringList>
#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "commands/decoder_context.h"
#include "commands/device_variables.h"
#include "commands/read_decoders.h"
#include "commands/registration_blocks.h"
#include "commands/request_builders.h"
#include "commands/write_decoders.h"
#include "hart/program_state.h"

namespace commands {

// What one value of a polled command's answer measures. A null unit is the one the answer's unit
// code for the value names; an empty one, a value whose unit nothing in the answer says.
struct PolledValue {
    const char* quantity;  // UTF-8
    const char* unit;      // UTF-8
};

inline constexpr std::array<PolledValue, 1> kPrimaryValue{{{"Давление", nullptr}}};
// clang-format off
inline constexpr std::array<PolledValue, 5> kCurrentAndVariableValues{{
    {"Ток", "мА"}, {"Давление", ""}, {"Um", ""}, {"Udif", ""}, {"Температура микропроцессора", "°C"},
}};
inline constexpr std::array<PolledValue, kVariableGroups> kDeviceVariableValues{{
    {"Переменная 1", nullptr}, {"Переменная 2", nullptr}, {"Переменная 3", nullptr}, {"Переменная 4", nullptr},
}};
// clang-format on

// The values a polled command's answer reports, in the order it carries them: the loop current
// first where it carries one, then the variables. Each value fills one row of the answering
// transmitter's block in the registration table.
struct PolledValues {
    std::span<const PolledValue> values;  // none: registration mode does not poll with the command
    bool currentFirst = false;

    constexpr int Count() const { return static_cast<int>(values.size()); }
};

struct CommandRow {
    const char* text;  // the entry in the command lists, UTF-8
    std::uint8_t number;
    std::uint8_t byteCount;  // data bytes of the request
    // Writes the request's data bytes, asking the operator first where the command has a dialog;
    // null for a request without data.
    void (RequestBuilders::*build)();
    // Decodes the answer in RxBuf into the table of the active mode.
    void (*decode)(const DecoderContext& context);
    PolledValues polled;

    // Registration mode polls with the commands whose answers bring readings.
    constexpr bool Polled() const { return polled.Count() > 0; }
    // A transmitter's block in the registration table, one row per reading value.
    constexpr RegistrationLayout Registration() const {
        return {hart::kSlotCount * polled.Count(), polled.Count()};
    }
};

// One row a line, so that the catalogue reads as a table.
// clang-format off
inline constexpr std::array<CommandRow, 10> kCatalogue{{
    // text, number, request data bytes, builder, decoder, polled values
    {"Считать первичную переменную",          1,  0,                     nullptr,                                    DecodeReadPrimary,             {kPrimaryValue, false}},
    {"Считать ток и значения 4-х переменных", 3,  0,                     nullptr,                                    DecodeReadCurrentAndVariables, {kCurrentAndVariableValues, true}},
    {"Записать адрес опроса",                 6,  1,                     &RequestBuilders::BuildWritePollAddress,    DecodeWritePollAddress,        {}},
    {"Считать переменные датчика",            33, kVariableRequestBytes, &RequestBuilders::BuildReadDeviceVariables, DecodeReadDeviceVariables,     {kDeviceVariableValues, false}},
    {"Записать величину демпфирования",       34, 4,                     &RequestBuilders::BuildWriteDamping,        DecodeWriteDamping,            {}},
    {"Записать значение диапазона",           35, 9,                     &RequestBuilders::BuildWriteRange,          DecodeWriteRange,              {}},
    {"Провести коррекцию диапазона",          36, 0,                     nullptr,                                    DecodeRangeCorrection,         {}},
    {"Провести коррекцию нуля",               37, 0,                     nullptr,                                    DecodeZeroCorrection,          {}},
    {"Режим фиксированного тока",             40, 4,                     &RequestBuilders::BuildFixedCurrent,        DecodeFixedCurrent,            {}},
    {"Записать единицы измерения датчика",    44, 1,                     &RequestBuilders::BuildWriteUnits,          DecodeWriteUnits,              {}},
}};
// clang-format on

// The entries of the registration command list.
inline constexpr int kPolledCount =
    static_cast<int>(std::ranges::count_if(kCatalogue, &CommandRow::Polled));

// The most values one polled answer reports, and the most rows the blocks of one run occupy.
inline constexpr int kMostPolledValues =
    std::ranges::max(kCatalogue, {}, [](const CommandRow& row) {
        return row.polled.Count();
    }).polled.Count();
inline constexpr int kMostRegistrationRows = hart::kSlotCount * kMostPolledValues;

// The row of command `number`; null when the catalogue has none.
constexpr const CommandRow* RowOfCommand(std::uint8_t number) {
    const auto* row = std::ranges::find(kCatalogue, number, &CommandRow::number);
    return row != kCatalogue.end() ? row : nullptr;
}

// The row of entry `index` of the setup command list; null outside the list.
const CommandRow* CatalogueRow(int index);
// The row of entry `index` of the registration command list; null outside the list.
const CommandRow* PolledRow(int index);

// The entries of the setup command list, in list order.
QStringList CatalogueTexts();
// The entries of the registration command list, in list order.
QStringList RegistrationCommandTexts();

// The nine device variables of the variables dialog's lists, by variable code.
QStringList DeviceVariableTexts();

// The three pressure units of the units dialog, by unit index.
QStringList PressureUnitTexts();
// The text of unit index `index` in that list; the number itself for an index it does not have.
QString PressureUnitText(int index);

}  // namespace commands

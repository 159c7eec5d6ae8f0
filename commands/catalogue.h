#pragma once
// The command catalogue: one row per command with everything the program knows of it. The setup
// command list shows every row in order; the registration command list shows the rows that
// registration mode polls with, in the same order.

#include <QStringList>
#include <array>
#include <cstdint>

#include "commands/decoder_context.h"
#include "commands/device_variables.h"
#include "commands/read_decoders.h"
#include "commands/registration_blocks.h"
#include "commands/request_builders.h"
#include "commands/write_decoders.h"

namespace commands {

struct CommandRow {
    const char* text;  // the entry in the command lists, UTF-8
    std::uint8_t number;
    std::uint8_t byteCount;  // data bytes of the request
    // Writes the request's data bytes, asking the operator first where the command has a dialog;
    // null for a request without data.
    void (RequestBuilders::*build)();
    // Decodes the answer in RxBuf into the table of the active mode.
    void (*decode)(const DecoderContext& context);
    bool polled;  // registration mode polls with it
    RegistrationLayout registration;
};

inline constexpr std::array<CommandRow, 10> kCatalogue{{
    {"Считать первичную переменную", 1, 0, nullptr, DecodeReadPrimary, true, {10, 1}},
    {"Считать ток и значения 4-х переменных",
     3,
     0,
     nullptr,
     DecodeReadCurrentAndVariables,
     true,
     {50, 5}},
    {"Записать адрес опроса",
     6,
     1,
     &RequestBuilders::BuildWritePollAddress,
     DecodeWritePollAddress,
     false,
     {}},
    {"Считать переменные датчика",
     33,
     kVariableRequestBytes,
     &RequestBuilders::BuildReadDeviceVariables,
     DecodeReadDeviceVariables,
     true,
     {40, 4}},
    {"Записать величину демпфирования",
     34,
     4,
     &RequestBuilders::BuildWriteDamping,
     DecodeWriteDamping,
     false,
     {}},
    {"Записать значение диапазона",
     35,
     9,
     &RequestBuilders::BuildWriteRange,
     DecodeWriteRange,
     false,
     {}},
    {"Провести коррекцию диапазона", 36, 0, nullptr, DecodeRangeCorrection, false, {}},
    {"Провести коррекцию нуля", 37, 0, nullptr, DecodeZeroCorrection, false, {}},
    {"Режим фиксированного тока",
     40,
     4,
     &RequestBuilders::BuildFixedCurrent,
     DecodeFixedCurrent,
     false,
     {}},
    {"Записать единицы измерения датчика",
     44,
     1,
     &RequestBuilders::BuildWriteUnits,
     DecodeWriteUnits,
     false,
     {}},
}};

// The row of entry `index` of the setup command list; null outside the list.
const CommandRow* CatalogueRow(int index);
// The row of entry `index` of the registration command list; null outside the list.
const CommandRow* PolledRow(int index);
// The row of command `number`; null when the catalogue has none.
const CommandRow* RowOfCommand(std::uint8_t number);

// The entries of the setup command list, in list order.
QStringList CatalogueTexts();
// The entries of the registration command list, in list order.
QStringList RegistrationCommandTexts();

// The nine device variables of the variables dialog's lists, by variable code.
QStringList DeviceVariableTexts();

// The three pressure units of the units dialog, by unit index.
QStringList PressureUnitTexts();

}  // namespace commands

#include "commands/write_decoders.h"

#include "commands/catalogue.h"
#include "hart/result_table.h"
#include "ui/string_grid.h"

namespace commands {
namespace {

using namespace hart::column;

const QString kOk = QStringLiteral("\u041E\u041A");  // "ОК" in Cyrillic letters

int Row(const DecoderContext& context) {
    return context.state.session.GridRow;
}

// Writes the parameter name of the current row and, when the answer is valid, its value.
void WriteRow(const DecoderContext& context, const QString& name, const QString& value) {
    TStringGrid& grid = context.StringGrid1;
    grid.SetCell(Row(context), kParameter, name);
    grid.SetCell(Row(context), kValue, Answer(context.state).Valid() ? value : kNotReliable);
}

}  // namespace

void DecodeWritePollAddress(const DecoderContext& context) {
    if (context.state.session.Mode != hart::kModeSetup) {
        return;
    }
    // The address the device reports, not the one requested.
    WriteRow(context, QStringLiteral("Записан адрес опроса "),
             QString::number(Answer(context.state).Data(0)));
}

void DecodeWriteDamping(const DecoderContext& context) {
    WriteRow(context, QStringLiteral("Записана величина демпфирования"),
             Answer(context.state).FloatText(0));
}

void DecodeWriteRange(const DecoderContext& context) {
    TStringGrid& grid = context.StringGrid1;
    const Answer answer(context.state);
    const int row = Row(context);
    grid.SetRowCount(grid.RowCount() + 1);
    grid.SetCell(row, kParameter, QStringLiteral("Записано верхнее значение диапазона"));
    grid.SetCell(row + 1, kParameter, QStringLiteral("Записано нижнее значение диапазона"));
    if (answer.Valid()) {
        grid.SetCell(row, kValue, answer.FloatText(1));
        grid.SetCell(row + 1, kValue, answer.FloatText(5));
    } else {
        grid.SetCell(row, kValue, kNotReliable);
    }
    ++context.state.session.GridRow;
}

void DecodeRangeCorrection(const DecoderContext& context) {
    WriteRow(context, QStringLiteral("Проведена коррекция диапазона"), kOk);
}

void DecodeZeroCorrection(const DecoderContext& context) {
    WriteRow(context, QStringLiteral("Проведена коррекция нуля"), kOk);
}

void DecodeFixedCurrent(const DecoderContext& context) {
    const Answer answer(context.state);
    if (!answer.Valid()) {
        context.StringGrid1.SetCell(Row(context), kValue, kNotReliable);
        return;
    }
    // The test is on the bytes: a negative zero (128 0 0 0) counts as a current.
    const bool fixed =
        answer.Data(0) != 0 || answer.Data(1) != 0 || answer.Data(2) != 0 || answer.Data(3) != 0;
    if (fixed) {
        WriteRow(context, QStringLiteral("Зафиксирован ток (мА)"), answer.FloatText(0));
    } else {
        WriteRow(context, QStringLiteral("Режим фиксированного тока отключен"), kOk);
    }
}

void DecodeWriteUnits(const DecoderContext& context) {
    // The units dialog lists the same texts; a code it does not have shows as its number.
    WriteRow(context, QStringLiteral("Единица измерения давления"),
             PressureUnitText(Answer(context.state).Data(0)));
}

}  // namespace commands

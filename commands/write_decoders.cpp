#include "commands/write_decoders.h"

#include "commands/units_dialog.h"
#include "ui/tradio_group.h"
#include "ui/tstring_grid.h"

namespace commands {
namespace {

const QString kOk = QStringLiteral("\u041E\u041A");  // "ОК" in Cyrillic letters

}  // namespace

void WriteDecoders::WriteRow(const QString& name, const QString& value) {
    TStringGrid& grid = context_.StringGrid1;
    grid.SetCell(Row(), 3, name);
    grid.SetCell(Row(), 4, Answer(context_.state).Valid() ? value : kNotReliable);
}

void WriteDecoders::DecodeWritePollAddress() {
    if (context_.state.session.Mode != hart::kModeSetup) {
        return;
    }
    // The address the device reports, not the one requested.
    WriteRow(QStringLiteral("Записан адрес опроса "),
             QString::number(Answer(context_.state).Data(0)));
}

void WriteDecoders::DecodeWriteDamping() {
    WriteRow(QStringLiteral("Записана величина демпфирования"),
             Answer(context_.state).FloatText(0));
}

void WriteDecoders::DecodeWriteRange() {
    TStringGrid& grid = context_.StringGrid1;
    const Answer answer(context_.state);
    const int row = Row();
    grid.SetRowCount(grid.RowCount() + 1);
    grid.SetCell(row, 3, QStringLiteral("Записано верхнее значение диапазона"));
    grid.SetCell(row + 1, 3, QStringLiteral("Записано нижнее значение диапазона"));
    if (answer.Valid()) {
        grid.SetCell(row, 4, answer.FloatText(1));
        grid.SetCell(row + 1, 4, answer.FloatText(5));
    } else {
        grid.SetCell(row, 4, kNotReliable);
    }
    ++context_.state.session.GridRow;
}

void WriteDecoders::DecodeRangeCorrection() {
    WriteRow(QStringLiteral("Проведена коррекция диапазона"), kOk);
}

void WriteDecoders::DecodeZeroCorrection() {
    WriteRow(QStringLiteral("Проведена коррекция нуля"), kOk);
}

void WriteDecoders::DecodeFixedCurrent() {
    TStringGrid& grid = context_.StringGrid1;
    const Answer answer(context_.state);
    if (!answer.Valid()) {
        grid.SetCell(Row(), 4, kNotReliable);
        return;
    }
    // The test is on the bytes: a negative zero (128 0 0 0) counts as a current.
    const bool fixed =
        answer.Data(0) != 0 || answer.Data(1) != 0 || answer.Data(2) != 0 || answer.Data(3) != 0;
    if (fixed) {
        WriteRow(QStringLiteral("Зафиксирован ток (мА)"), answer.FloatText(0));
    } else {
        WriteRow(QStringLiteral("Режим фиксированного тока отключен"), kOk);
    }
}

void WriteDecoders::DecodeWriteUnits() {
    const int index = Answer(context_.state).Data(0);
    const QStringList units = context_.Form10.RadioGroup1->Items();
    // An index the units list does not have is shown as the number the device sent.
    WriteRow(QStringLiteral("Единица измерения давления"),
             index < units.size() ? units[index] : QString::number(index));
}

}  // namespace commands

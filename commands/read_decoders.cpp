#include "commands/read_decoders.h"

#include <array>
#include <span>

#include "commands/catalogue.h"
#include "commands/device_variables.h"
#include "commands/registration_blocks.h"
#include "commands/variables_dialog.h"
#include "hart/frame_layout.h"
#include "hart/result_table.h"
#include "hart/time_text.h"
#include "hart/value_encodings.h"
#include "ui/string_grid.h"

namespace commands {
namespace {

const QString kPressureName = QStringLiteral("Давление/Pressure:");

// Command 3's answer: the current and four variables, a row of the table each.
constexpr int kCurrentRows = RowOfCommand(3)->polled.Count();
constexpr int kFloatSize = std::tuple_size_v<hart::FloatBytes>;

// Names of the rows of a command-3 block; the registration names end in a blank.
const std::array<QString, kCurrentRows> kCurrentNamesSetup{
    QStringLiteral("Ток/Iout, mA:"),         QStringLiteral("Давление/Pressure:"),
    QStringLiteral("Um,код АЦП:"),           QStringLiteral("Udif,код АЦП:"),
    QStringLiteral("t микропроцессора,°С "),
};
const std::array<QString, kCurrentRows> kCurrentNamesRegistration{
    QStringLiteral("Ток/Iout, mA: "),        QStringLiteral("Давление/Pressure: "),
    QStringLiteral("Um,код АЦП: "),          QStringLiteral("Udif,код АЦП: "),
    QStringLiteral("t микропроцессора,°С "),
};

using namespace hart::column;

// Command 1's answer gives the unit code before the value.
constexpr int kPrimaryUnitAt = 0;
// Command 1 checks the byte after the four value bytes of its five, not the answer's last byte.
constexpr int kPrimaryChecksumAt = hart::frame::response::kDataAt + 5;

// The five values of a command-3 answer as the table shows them.
struct CurrentValues {
    QString current, pressure, um, udif, temperature;
};

CurrentValues ReadCurrentValues(const Answer& answer) {
    return {answer.FloatText(0), answer.FloatText(kFloatSize),
            hart::WholeNumberText(answer.FloatText(2 * kFloatSize)),
            hart::WholeNumberText(answer.FloatText(3 * kFloatSize)),
            answer.FloatText(4 * kFloatSize).left(5)};
}

std::array<float, kCurrentRows> CurrentFloats(const Answer& answer) {
    std::array<float, kCurrentRows> values{};
    for (int i = 0; i < kCurrentRows; ++i) {
        values[i] = answer.Float(i * kFloatSize);
    }
    return values;
}

bool IsWholeNumberVariable(int code) {
    const DeviceVariable* variable = DeviceVariableOf(code);
    return variable != nullptr && variable->wholeNumber;
}

// One answer decoded into the table of the active mode.
class ReadDecoder {
public:
    explicit ReadDecoder(const DecoderContext& context)
        : context_(context), answer_(context.state) {}

    void ReadPrimary() { Registration() ? ReadPrimaryRegistration() : ReadPrimarySetup(); }
    void ReadCurrent() { Registration() ? ReadCurrentRegistration() : ReadCurrentSetup(); }
    void ReadVariables() { Registration() ? ReadVariablesRegistration() : ReadVariablesSetup(); }

private:
    void ReadPrimarySetup();
    void ReadPrimaryRegistration();
    void ReadCurrentSetup();
    void ReadCurrentRegistration();
    void ReadVariablesSetup();
    void ReadVariablesRegistration();

    // Finds the answering transmitter's block and writes address, command and description into
    // its first row; returns the row.
    int StartBlock();
    // Appends a piece to the answering transmitter's protocol line while the box is ticked.
    void Protocol(const QString& piece);
    void ProtocolEnd();
    // Reports the answer's values and unit codes to the readings sink; none when `reliable` is
    // false.
    void Reading(bool reliable, std::span<const float> values,
                 std::span<const std::uint8_t> units = {});
    bool Registration() const { return context_.state.session.Mode == hart::kModeRegistration; }

    const DecoderContext& context_;
    const Answer answer_;
};

void ReadDecoder::ReadPrimarySetup() {
    TStringGrid& grid = context_.StringGrid1;
    const int row = context_.state.session.GridRow;
    grid.SetCell(row, kParameter, kPressureName);
    grid.SetCell(row, kValue, answer_.Valid() ? answer_.FloatText(1) : kNotReliable);
}

void ReadDecoder::ReadPrimaryRegistration() {
    TStringGrid& grid = context_.StringGrid2;
    const int row = StartBlock();
    Protocol(QStringLiteral("Addr: %1 ").arg(answer_.Address()));
    Protocol(QStringLiteral("Command: %1 ").arg(answer_.Command()));
    grid.SetCell(row, kParameter, kPressureName);
    if (answer_.ValidAt(kPrimaryChecksumAt)) {
        Protocol(kPressureName + u' ');
        const QString value = answer_.FloatText(1);
        grid.SetCell(row, kValue, value);
        Protocol(value + u' ');
    } else {
        grid.SetCell(row, kValue, kNotReliable);
    }
    grid.SetCell(row, kTime, TimeAndDateText());
    ProtocolEnd();
    Reading(answer_.ValidAt(kPrimaryChecksumAt), std::array{answer_.Float(1)},
            std::array{answer_.Data(kPrimaryUnitAt)});
}

void ReadDecoder::ReadCurrentSetup() {
    TStringGrid& grid = context_.StringGrid1;
    auto& session = context_.state.session;
    const int row = session.GridRow;
    grid.SetRowCount(grid.RowCount() + kCurrentRows - 1);
    for (int i = 0; i < kCurrentRows; ++i) {
        grid.SetCell(row + i, kParameter, kCurrentNamesSetup[i]);
    }
    if (answer_.Valid()) {
        const CurrentValues values = ReadCurrentValues(answer_);
        const std::array texts{values.current, values.pressure, values.um, values.udif,
                               values.temperature};
        for (int i = 0; i < kCurrentRows; ++i) {
            grid.SetCell(row + i, kValue, texts[i]);
        }
    } else {
        for (int i = 0; i < kCurrentRows; ++i) {
            grid.SetCell(row + i, kValue, kNotReliable);
        }
    }
    session.GridRow += kCurrentRows - 1;
}

void ReadDecoder::ReadCurrentRegistration() {
    TStringGrid& grid = context_.StringGrid2;
    const int row = StartBlock();
    for (int i = 0; i < kCurrentRows; ++i) {
        grid.SetCell(row + i, kParameter, kCurrentNamesRegistration[i]);
    }
    grid.SetCell(row, kTime, TimeAndDateText());
    Reading(answer_.Valid(), CurrentFloats(answer_));
    if (!answer_.Valid()) {
        for (int i = 0; i < kCurrentRows; ++i) {
            grid.SetCell(row + i, kValue, kNotReliable);
        }
        // No line end: the next answer written to this file continues the line.
        Protocol(ShortDateText(QDateTime::currentDateTime()) + u' ');
        return;
    }
    const CurrentValues values = ReadCurrentValues(answer_);
    Protocol(QStringLiteral("Addr: %1 ").arg(answer_.Address()));
    Protocol(QStringLiteral("Command: %1 ").arg(answer_.Command()));
    grid.SetCell(row, kValue, values.current);
    Protocol(QStringLiteral("Iout, mA: ") + values.current + u' ');
    grid.SetCell(row + 1, kValue, values.pressure);
    Protocol(QStringLiteral(" Pressure: ") + values.pressure + u' ');
    grid.SetCell(row + 2, kValue, values.um);
    Protocol(QStringLiteral(" Um: ") + values.um + u' ');
    grid.SetCell(row + 3, kValue, values.udif);
    Protocol(QStringLiteral(" Udif: ") + values.udif + u' ');
    grid.SetCell(row + 4, kValue, values.temperature);
    Protocol(QStringLiteral(" t(°C): ") + values.temperature);
    ProtocolEnd();
}

// The four lists of the variables dialog, one per group of a command-33 answer.
std::array<QComboBox*, kVariableGroups> VariableLists(const TForm5& form) {
    return {form.ComboBox1, form.ComboBox2, form.ComboBox3, form.ComboBox4};
}

// Group k is named after the code the request sent and formatted by the variable now chosen in
// list k; both agree, because the lists change only in the dialog shown before sending.
QString GroupName(const DecoderContext& context, int group) {
    const int code =
        context.state.request.TxFrame[hart::frame::request::kDataAt + group * kVariableGroupSize];
    return VariableLists(context.Form5)[group]->itemText(code);
}

QString GroupValue(const DecoderContext& context, const Answer& answer, int group) {
    const QString text = answer.FloatText(group * kVariableGroupSize + kVariableValueAt);
    const int code = VariableLists(context.Form5)[group]->currentIndex();
    return IsWholeNumberVariable(code) ? hart::WholeNumberText(text) : text;
}

std::array<float, kVariableGroups> GroupFloats(const Answer& answer) {
    std::array<float, kVariableGroups> values{};
    for (int group = 0; group < kVariableGroups; ++group) {
        values[group] = answer.Float(group * kVariableGroupSize + kVariableValueAt);
    }
    return values;
}

std::array<std::uint8_t, kVariableGroups> GroupUnits(const Answer& answer) {
    std::array<std::uint8_t, kVariableGroups> units{};
    for (int group = 0; group < kVariableGroups; ++group) {
        units[group] = answer.Data(group * kVariableGroupSize + kVariableUnitAt);
    }
    return units;
}

QString GroupLabel(const DecoderContext& context, int group) {
    const int code = VariableLists(context.Form5)[group]->currentIndex();
    const DeviceVariable* variable = DeviceVariableOf(code);
    return variable != nullptr ? QString::fromUtf8(variable->label) : QString();
}

void ReadDecoder::ReadVariablesSetup() {
    TStringGrid& grid = context_.StringGrid1;
    auto& session = context_.state.session;
    const int row = session.GridRow;
    grid.SetRowCount(grid.RowCount() + kVariableGroups - 1);
    for (int group = 0; group < kVariableGroups; ++group) {
        grid.SetCell(row + group, kParameter, GroupName(context_, group));
    }
    if (answer_.Valid()) {
        for (int group = 0; group < kVariableGroups; ++group) {
            grid.SetCell(row + group, kValue, GroupValue(context_, answer_, group));
        }
    } else {
        grid.SetCell(row, kValue, kNotReliable);
    }
    session.GridRow += kVariableGroups - 1;
}

void ReadDecoder::ReadVariablesRegistration() {
    TStringGrid& grid = context_.StringGrid2;
    const int row = StartBlock();
    for (int group = 0; group < kVariableGroups; ++group) {
        grid.SetCell(row + group, kParameter, GroupName(context_, group));
    }
    grid.SetCell(row, kTime, TimeAndDateText());
    Reading(answer_.Valid(), GroupFloats(answer_), GroupUnits(answer_));
    if (!answer_.Valid()) {
        for (int group = 0; group < kVariableGroups; ++group) {
            grid.SetCell(row + group, kValue, kNotReliable);
        }
        return;
    }
    Protocol(QStringLiteral("Addr: %1 ").arg(answer_.Address()));
    Protocol(QStringLiteral("Command: %1 ").arg(answer_.Command()));
    for (int group = 0; group < kVariableGroups; ++group) {
        Protocol(GroupLabel(context_, group) + u' ');
        const QString value = GroupValue(context_, answer_, group);
        grid.SetCell(row + group, kValue, value);
        Protocol(value + u' ');
    }
    ProtocolEnd();
}

int ReadDecoder::StartBlock() {
    auto& session = context_.state.session;
    session.ReplyAddress = answer_.Address();
    session.RegRow = commands::StartBlock(
        context_.StringGrid2, RowOfCommand(answer_.Command())->Registration(), answer_.Address(),
        QString::number(answer_.Command()), context_.ComboBox2.currentText());
    return session.RegRow;
}

void ReadDecoder::Protocol(const QString& piece) {
    if (context_.CheckBox1.isChecked()) {
        context_.protocol.ProtocolWrite(context_.state.session.ReplyAddress, piece);
    }
}

void ReadDecoder::ProtocolEnd() {
    if (context_.CheckBox1.isChecked()) {
        context_.protocol.ProtocolEndLine(context_.state.session.ReplyAddress);
    }
}

void ReadDecoder::Reading(bool reliable, std::span<const float> values,
                          std::span<const std::uint8_t> units) {
    context_.readings.RegistrationReading(answer_.Address(), answer_.Command(),
                                          reliable ? values : std::span<const float>(),
                                          reliable ? units : std::span<const std::uint8_t>());
}

}  // namespace

void DecodeReadPrimary(const DecoderContext& context) {
    ReadDecoder(context).ReadPrimary();
}

void DecodeReadCurrentAndVariables(const DecoderContext& context) {
    ReadDecoder(context).ReadCurrent();
}

void DecodeReadDeviceVariables(const DecoderContext& context) {
    ReadDecoder(context).ReadVariables();
}

}  // namespace commands

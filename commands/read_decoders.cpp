#include "commands/read_decoders.h"

#include <array>

#include "commands/catalogue.h"
#include "commands/registration_blocks.h"
#include "commands/variables_dialog.h"
#include "hart/value_encodings.h"
#include "ui/time_text.h"
#include "ui/tstring_grid.h"

namespace commands {
namespace {

const QString kPressureName = QStringLiteral("Давление/Pressure:");

// Names of the five rows of a command-3 block; the registration names end in a blank.
const std::array<QString, 5> kCurrentNamesSetup{
    QStringLiteral("Ток/Iout, mA:"),   QStringLiteral("Давление/Pressure:"),
    QStringLiteral("Um,код АЦП:"),     QStringLiteral("Udif,код АЦП:"),
    QStringLiteral("t микропроцессора,°С "),
};
const std::array<QString, 5> kCurrentNamesRegistration{
    QStringLiteral("Ток/Iout, mA: "),  QStringLiteral("Давление/Pressure: "),
    QStringLiteral("Um,код АЦП: "),    QStringLiteral("Udif,код АЦП: "),
    QStringLiteral("t микропроцессора,°С "),
};

// Protocol labels of the device variables, by variable code.
const std::array<QString, 9> kVariableLabels{
    QStringLiteral("Pressure:"), QStringLiteral("Iout,mA:"), QStringLiteral("Um:"),
    QStringLiteral("Udif:"),     QStringLiteral("t(°C):"),   QStringLiteral("t(°C):"),
    QStringLiteral("Nusr:"),     QStringLiteral("Pmax"),     QStringLiteral("Pmin"),
};

constexpr int kVariableGroups = 4;
constexpr int kGroupSize = 6;
constexpr int kCommandCodesAt = 11;  // request position of the first variable code

// The five values of a command-3 answer as the table shows them.
struct CurrentValues {
    QString current, pressure, um, udif, temperature;
};

CurrentValues ReadCurrentValues(const Answer& answer) {
    return {answer.FloatText(0), answer.FloatText(4), hart::WholeNumberText(answer.FloatText(8)),
            hart::WholeNumberText(answer.FloatText(12)), answer.FloatText(16).left(5)};
}

// Converter readings and the damping value read as whole numbers.
bool IsWholeNumberVariable(int code) {
    return code == 2 || code == 3 || code == 6;
}

}  // namespace

void ReadDecoders::DecodeReadPrimary() {
    const Answer answer(context_.state);
    Registration() ? ReadPrimaryRegistration(answer) : ReadPrimarySetup(answer);
}

void ReadDecoders::DecodeReadCurrentAndVariables() {
    const Answer answer(context_.state);
    Registration() ? ReadCurrentRegistration(answer) : ReadCurrentSetup(answer);
}

void ReadDecoders::DecodeReadDeviceVariables() {
    const Answer answer(context_.state);
    Registration() ? ReadVariablesRegistration(answer) : ReadVariablesSetup(answer);
}

void ReadDecoders::ReadPrimarySetup(const Answer& answer) {
    TStringGrid& grid = context_.StringGrid1;
    const int row = context_.state.session.GridRow;
    grid.SetCell(row, 3, kPressureName);
    grid.SetCell(row, 4, answer.Valid() ? answer.FloatText(1) : kNotReliable);
}

void ReadDecoders::ReadPrimaryRegistration(const Answer& answer) {
    TStringGrid& grid = context_.StringGrid2;
    const int row = StartBlock(answer, 0);
    Protocol(QStringLiteral("Addr: %1 ").arg(answer.Address()));
    Protocol(QStringLiteral("Command: %1 ").arg(answer.Command()));
    grid.SetCell(row, 3, kPressureName);
    // This validity test looks at the byte after the four value bytes of a 5-byte answer.
    if (answer.ValidAt(19)) {
        Protocol(kPressureName + u' ');
        const QString value = answer.FloatText(1);
        grid.SetCell(row, 4, value);
        Protocol(value + u' ');
    } else {
        grid.SetCell(row, 4, kNotReliable);
    }
    grid.SetCell(row, 5, TimeAndDateText());
    ProtocolEnd();
}

void ReadDecoders::ReadCurrentSetup(const Answer& answer) {
    TStringGrid& grid = context_.StringGrid1;
    auto& session = context_.state.session;
    const int row = session.GridRow;
    grid.SetRowCount(grid.RowCount() + 4);
    for (int i = 0; i < 5; ++i) {
        grid.SetCell(row + i, 3, kCurrentNamesSetup[i]);
    }
    if (answer.Valid()) {
        const CurrentValues values = ReadCurrentValues(answer);
        const std::array texts{values.current, values.pressure, values.um, values.udif,
                               values.temperature};
        for (int i = 0; i < 5; ++i) {
            grid.SetCell(row + i, 4, texts[i]);
        }
    } else {
        for (int i = 0; i < 5; ++i) {
            grid.SetCell(row + i, 4, kNotReliable);
        }
    }
    session.GridRow += 4;
}

void ReadDecoders::ReadCurrentRegistration(const Answer& answer) {
    TStringGrid& grid = context_.StringGrid2;
    const int row = StartBlock(answer, 1);
    for (int i = 0; i < 5; ++i) {
        grid.SetCell(row + i, 3, kCurrentNamesRegistration[i]);
    }
    grid.SetCell(row, 5, TimeAndDateText());
    if (!answer.Valid()) {
        for (int i = 0; i < 5; ++i) {
            grid.SetCell(row + i, 4, kNotReliable);
        }
        // No line end: the next answer written to this file continues the line.
        Protocol(ShortDateText(QDateTime::currentDateTime()) + u' ');
        return;
    }
    const CurrentValues values = ReadCurrentValues(answer);
    Protocol(QStringLiteral("Addr: %1 ").arg(answer.Address()));
    Protocol(QStringLiteral("Command: %1 ").arg(answer.Command()));
    grid.SetCell(row, 4, values.current);
    Protocol(QStringLiteral("Iout, mA: ") + values.current + u' ');
    grid.SetCell(row + 1, 4, values.pressure);
    Protocol(QStringLiteral(" Pressure: ") + values.pressure + u' ');
    grid.SetCell(row + 2, 4, values.um);
    Protocol(QStringLiteral(" Um: ") + values.um + u' ');
    grid.SetCell(row + 3, 4, values.udif);
    Protocol(QStringLiteral(" Udif: ") + values.udif + u' ');
    grid.SetCell(row + 4, 4, values.temperature);
    Protocol(QStringLiteral(" t(°C): ") + values.temperature);
    ProtocolEnd();
}

namespace {

// The four lists of the variables dialog, one per group of a command-33 answer.
std::array<QComboBox*, kVariableGroups> VariableLists(const TForm5& form) {
    return {form.ComboBox1, form.ComboBox2, form.ComboBox3, form.ComboBox4};
}

// Group k is named after the code the request sent and formatted by the variable now chosen in
// list k; both agree, because the lists change only in the dialog shown before sending.
QString GroupName(const DecoderContext& context, int group) {
    const int code = context.state.request.TxFrame[kCommandCodesAt + group * kGroupSize];
    return VariableLists(context.Form5)[group]->itemText(code);
}

QString GroupValue(const DecoderContext& context, const Answer& answer, int group) {
    const QString text = answer.FloatText(group * kGroupSize + 2);
    const int code = VariableLists(context.Form5)[group]->currentIndex();
    return IsWholeNumberVariable(code) ? hart::WholeNumberText(text) : text;
}

QString GroupLabel(const DecoderContext& context, int group) {
    const int code = VariableLists(context.Form5)[group]->currentIndex();
    return code >= 0 && code < static_cast<int>(kVariableLabels.size()) ? kVariableLabels[code]
                                                                         : QString();
}

}  // namespace

void ReadDecoders::ReadVariablesSetup(const Answer& answer) {
    TStringGrid& grid = context_.StringGrid1;
    auto& session = context_.state.session;
    const int row = session.GridRow;
    grid.SetRowCount(grid.RowCount() + 3);
    for (int group = 0; group < kVariableGroups; ++group) {
        grid.SetCell(row + group, 3, GroupName(context_, group));
    }
    if (answer.Valid()) {
        for (int group = 0; group < kVariableGroups; ++group) {
            grid.SetCell(row + group, 4, GroupValue(context_, answer, group));
        }
    } else {
        grid.SetCell(row, 4, kNotReliable);
    }
    session.GridRow += 3;
}

void ReadDecoders::ReadVariablesRegistration(const Answer& answer) {
    TStringGrid& grid = context_.StringGrid2;
    const int row = StartBlock(answer, 2);
    for (int group = 0; group < kVariableGroups; ++group) {
        grid.SetCell(row + group, 3, GroupName(context_, group));
    }
    grid.SetCell(row, 5, TimeAndDateText());
    if (!answer.Valid()) {
        for (int group = 0; group < kVariableGroups; ++group) {
            grid.SetCell(row + group, 4, kNotReliable);
        }
        return;
    }
    Protocol(QStringLiteral("Addr: %1 ").arg(answer.Address()));
    Protocol(QStringLiteral("Command: %1 ").arg(answer.Command()));
    for (int group = 0; group < kVariableGroups; ++group) {
        Protocol(GroupLabel(context_, group) + u' ');
        const QString value = GroupValue(context_, answer, group);
        grid.SetCell(row + group, 4, value);
        Protocol(value + u' ');
    }
    ProtocolEnd();
}

int ReadDecoders::StartBlock(const Answer& answer, int commandIndex) {
    auto& session = context_.state.session;
    const RegistrationCommand& command = kRegistrationCommands[commandIndex];
    session.ReplyAddress = answer.Address();
    const QString address = QString::number(answer.Address());
    session.RegRow =
        FindBlockRow(context_.StringGrid2, address, command.searchRange, command.blockSize);
    TStringGrid& grid = context_.StringGrid2;
    grid.SetCell(session.RegRow, 0, address);
    grid.SetCell(session.RegRow, 1, QString::number(answer.Command()));
    grid.SetCell(session.RegRow, 2, context_.ComboBox2.currentText());
    return session.RegRow;
}

void ReadDecoders::Protocol(const QString& piece) {
    if (context_.CheckBox1.isChecked()) {
        context_.protocol.ProtocolWrite(context_.state.session.ReplyAddress, piece);
    }
}

void ReadDecoders::ProtocolEnd() {
    if (context_.CheckBox1.isChecked()) {
        context_.protocol.ProtocolEndLine(context_.state.session.ReplyAddress);
    }
}

}  // namespace commands

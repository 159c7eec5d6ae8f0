#pragma once
// What the response decoders read and write.

#include <QCheckBox>
#include <QComboBox>
#include <QString>
#include <cstdint>

#include "commands/protocol_sink.h"
#include "commands/registration_reading_sink.h"
#include "hart/frame_layout.h"
#include "hart/program_state.h"

class TForm5;
class TForm10;
class TStringGrid;

namespace commands {

struct DecoderContext {
    hart::ProgramState& state;
    TStringGrid& StringGrid1;  // setup table
    TStringGrid& StringGrid2;  // registration table
    QComboBox& ComboBox2;      // registration command list
    QCheckBox& CheckBox1;      // "save the poll results to a file"
    TForm5& Form5;
    TForm10& Form10;
    ProtocolSink& protocol;
    RegistrationReadingSink& readings;
};

// Reading the response in RxBuf.
class Answer {
public:
    explicit Answer(const hart::ProgramState& state) : state_(state) {}

    std::uint8_t Address() const { return Byte(hart::frame::response::kPollAddressAt); }
    std::uint8_t Command() const { return Byte(hart::frame::response::kCommandAt); }
    // Data byte i of the answer.
    std::uint8_t Data(int i) const { return Byte(hart::frame::response::kDataAt + i); }
    // The float of data bytes i..i+3, and its text.
    float Float(int i) const;
    QString FloatText(int i) const;
    // The received checksum at `position` matches the one computed over the answer.
    bool ValidAt(int position) const { return Byte(position) == state_.request.Checksum; }
    // The received checksum, the answer's last byte, matches.
    bool Valid() const { return ValidAt(state_.receive.RxLength); }

private:
    std::uint8_t Byte(int position) const;

    const hart::ProgramState& state_;
};

inline const QString kNotReliable = QStringLiteral("Данные не достоверны");

}  // namespace commands

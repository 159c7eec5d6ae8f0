#include "commands/decoder_context.h"

#include "hart/value_encodings.h"

namespace commands {

std::uint8_t Answer::Byte(int position) const {
    const auto& buffer = state_.receive.RxBuf;
    return position >= 1 && position < static_cast<int>(buffer.size()) ? buffer[position] : 0;
}

float Answer::Float(int i) const {
    return hart::BytesToFloat(Data(i), Data(i + 1), Data(i + 2), Data(i + 3));
}

QString Answer::FloatText(int i) const {
    return hart::BytesToFloatText(Data(i), Data(i + 1), Data(i + 2), Data(i + 3));
}

}  // namespace commands

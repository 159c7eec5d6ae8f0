#include "hart/byte_text.h"

namespace hart {

QString SeparatedByteText(std::span<const std::uint8_t> bytes) {
    return BlankPrefixedByteText(bytes).mid(1);
}

QString BlankPrefixedByteText(std::span<const std::uint8_t> bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()) * 4);
    for (const std::uint8_t byte : bytes) {
        text += u' ';
        text += QString::number(byte);
    }
    return text;
}

}  // namespace hart

#include "hart/standard_frames.h"

#include <algorithm>
#include <functional>
#include <numeric>
#include <stdexcept>
#include <utility>

#include "hart/byte_text.h"

namespace hart::standard {

namespace {

constexpr std::uint8_t kPreambleByte = 0xFF;
constexpr std::uint8_t kLongFrameBit = 0x80;  // in a delimiter: a unique address follows
// An address byte below the master and burst bits: a poll address, or a unique address's first.
constexpr std::uint8_t kAddressBits = 0x3F;
constexpr std::size_t kShortAddressLength = 1;
constexpr std::size_t kLongAddressLength = std::tuple_size_v<UniqueAddress>;
constexpr std::size_t kMaxDataLength = 255;
// Fewer than real devices send, enough that a lone 0xFF of noise does not open a frame.
constexpr int kAnswerPreamblesNeeded = 2;
// Delimiter, the longer address, command, byte count, data, checksum.
constexpr std::size_t kLongestFrame = 1 + kLongAddressLength + 2 + kMaxDataLength + 1;
// Where the status bytes lie in an answer's data.
constexpr std::size_t kResponseCodeAt = 0;
constexpr std::size_t kDeviceStatusAt = 1;
constexpr std::size_t kStatusLength = 2;

std::size_t AddressLength(std::uint8_t delimiter) {
    return (delimiter & kLongFrameBit) != 0 ? kLongAddressLength : kShortAddressLength;
}

// Delimiter, address, command and byte count.
std::size_t HeaderLength(std::uint8_t delimiter) {
    return 1 + AddressLength(delimiter) + 2;
}

// The length a frame begun with its delimiter will have, known once its byte count is in; 0
// before.
std::size_t FrameLength(std::span<const std::uint8_t> frame) {
    if (frame.empty() || frame.size() < HeaderLength(frame.front())) {
        return 0;
    }
    const std::size_t header = HeaderLength(frame.front());
    return header + frame[header - 1] + 1;
}

std::uint8_t Checksum(std::span<const std::uint8_t> bytes) {
    return std::accumulate(bytes.begin(), bytes.end(), std::uint8_t{0},
                           std::bit_xor<std::uint8_t>());
}

// The fields of a whole frame, from its delimiter to its checksum.
struct FrameFields {
    std::uint8_t delimiter;
    std::span<const std::uint8_t> address;
    std::uint8_t command;
    std::span<const std::uint8_t> data;  // byte count bytes, status bytes included in an answer
    std::uint8_t checksum;
    bool checksumGood;
};

FrameFields Fields(std::span<const std::uint8_t> frame) {
    const std::size_t header = HeaderLength(frame.front());
    const auto covered = frame.first(frame.size() - 1);
    return {.delimiter = frame.front(),
            .address = frame.subspan(1, AddressLength(frame.front())),
            .command = frame[header - 2],
            .data = frame.subspan(header, frame[header - 1]),
            .checksum = frame.back(),
            .checksumGood = Checksum(covered) == frame.back()};
}

Answer MakeAnswer(Bytes frame) {
    const FrameFields fields = Fields(frame);
    Answer answer;
    answer.checksumGood = fields.checksumGood;
    answer.address.assign(fields.address.begin(), fields.address.end());
    answer.command = fields.command;
    answer.byteCount = static_cast<std::uint8_t>(fields.data.size());
    const auto status = fields.data.first(std::min(kStatusLength, fields.data.size()));
    if (status.size() > kResponseCodeAt) {
        answer.responseCode = status[kResponseCodeAt];
    }
    if (status.size() > kDeviceStatusAt) {
        answer.deviceStatus = status[kDeviceStatusAt];
    }
    answer.data.assign(fields.data.begin() + static_cast<std::ptrdiff_t>(status.size()),
                       fields.data.end());
    answer.frame = std::move(frame);
    return answer;
}

}  // namespace

Bytes ShortAddress(std::uint8_t pollAddress) {
    return {static_cast<std::uint8_t>(kPrimaryMaster | (pollAddress & kAddressBits))};
}

Bytes LongAddress(const UniqueAddress& uniqueAddress) {
    Bytes address(uniqueAddress.begin(), uniqueAddress.end());
    address.front() = static_cast<std::uint8_t>(kPrimaryMaster | (address.front() & kAddressBits));
    return address;
}

Bytes Request(std::span<const std::uint8_t> address, std::uint8_t command,
              std::span<const std::uint8_t> data) {
    if (address.size() != kShortAddressLength && address.size() != kLongAddressLength) {
        throw std::invalid_argument("a request is addressed with 1 or 5 bytes");
    }
    if (data.size() > kMaxDataLength) {
        throw std::invalid_argument("a request carries at most 255 data bytes");
    }
    Bytes request(kRequestPreambles, kPreambleByte);
    request.push_back(address.size() == kLongAddressLength ? kLongRequestDelimiter
                                                           : kShortRequestDelimiter);
    request.insert(request.end(), address.begin(), address.end());
    request.push_back(command);
    request.push_back(static_cast<std::uint8_t>(data.size()));
    request.insert(request.end(), data.begin(), data.end());
    request.push_back(Checksum(std::span(request).subspan(kRequestPreambles)));
    return request;
}

QStringList TraceLines(std::span<const std::uint8_t> request) {
    const auto preambles = static_cast<std::size_t>(
        std::ranges::find_if(request, [](std::uint8_t byte) { return byte != kPreambleByte; }) -
        request.begin());
    const auto frame = request.subspan(preambles);
    if (FrameLength(frame) == 0 || FrameLength(frame) != frame.size()) {
        throw std::invalid_argument("the bytes are not one whole request");
    }
    const FrameFields fields = Fields(frame);
    return {
        QStringLiteral("Передача началась"),
        QStringLiteral("Преамбула: ") + SeparatedByteText(request.first(preambles)),
        QStringLiteral("Стартовый байт: ") + QString::number(fields.delimiter),
        QStringLiteral("Адрес: ") + SeparatedByteText(fields.address),
        QStringLiteral("Команда: ") + QString::number(fields.command),
        QStringLiteral("Размер переданных байт: ") + QString::number(fields.data.size()),
        QStringLiteral("Данные: ") + BlankPrefixedByteText(fields.data),
        QStringLiteral("Контрольная сумма: ") + QString::number(fields.checksum),
    };
}

std::vector<Answer> AnswerReader::Feed(std::span<const std::uint8_t> bytes) {
    std::vector<Answer> answers;
    for (const std::uint8_t byte : bytes) {
        if (!Partial()) {
            Hunt(byte);
            continue;
        }
        frame_.push_back(byte);
        if (frame_.size() == FrameLength(frame_)) {
            answers.push_back(MakeAnswer(std::exchange(frame_, {})));
        }
    }
    return answers;
}

void AnswerReader::Restart() {
    preambles_ = 0;
    frame_.clear();
}

void AnswerReader::Hunt(std::uint8_t byte) {
    if (byte == kPreambleByte) {
        preambles_ = std::min(preambles_ + 1, kAnswerPreamblesNeeded);
        return;
    }
    if (preambles_ == kAnswerPreamblesNeeded &&
        (byte == kShortAnswerDelimiter || byte == kLongAnswerDelimiter)) {
        frame_.reserve(kLongestFrame);
        frame_.push_back(byte);
    }
    preambles_ = 0;
}

}  // namespace hart::standard

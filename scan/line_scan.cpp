#include "scan/line_scan.h"

#include <algorithm>
#include <array>

#include "hart/byte_text.h"
#include "hart/frame_sender.h"
#include "hart/response_collector.h"
#include "serial/ser_comm.h"

namespace scan {
namespace {

constexpr std::uint8_t kReadUniqueIdentifier = 0;
constexpr std::uint8_t kReadTagDescriptorDate = 13;
// A response code with this bit set says the device saw a communication error.
constexpr std::uint8_t kCommunicationError = 0x80;

// Whether an answer's address field names the device asked: the top bits of the first byte
// (which master asked, burst mode) aside.
bool SameAddress(std::span<const std::uint8_t> answered, std::span<const std::uint8_t> asked) {
    constexpr std::uint8_t kDeviceBits = 0x3F;
    return answered.size() == asked.size() &&
           (answered[0] & kDeviceBits) == (asked[0] & kDeviceBits) &&
           std::equal(answered.begin() + 1, answered.end(), asked.begin() + 1);
}

// How long `bytes` bytes take on the line: 9600 bit/s, ten bits a byte with start and stop bit.
std::chrono::steady_clock::duration WireTime(std::size_t bytes) {
    return std::chrono::microseconds(bytes * 10 * 1000000 / 9600);
}

// Whether a response code refuses the command ("command not implemented" 64 among them) rather
// than carrying it out, perhaps with a warning: the standard's warnings are 8, 14, 24 to 27, 30,
// 31 and the device-specific 96 to 111.
bool Refused(std::uint8_t responseCode) {
    const bool warning = responseCode == 8 || responseCode == 14 ||
                         (responseCode >= 24 && responseCode <= 27) || responseCode == 30 ||
                         responseCode == 31 || (responseCode >= 96 && responseCode <= 111);
    return responseCode != 0 && !warning;
}

}  // namespace

LineScan::LineScan(hart::SessionState& session, ser::TSerCustomComm& port,
                   hart::FrameSender& sender, TraceMemo& memo, Listener listener)
    : session_(session), port_(port), sender_(sender), memo_(memo), listener_(std::move(listener)) {
    answerTimer_.OnTimer = [this] { AnswerTimeout(); };
}

void LineScan::Start(const ScanRange& range) {
    range_ = range;
    answerTime_ = std::chrono::milliseconds(session_.ResponseTimeout);
    range_.attempts = std::max(range_.attempts, 1);
    session_.scanRunning = true;
    address_ = range_.first;
    BeginAddress();
}

void LineScan::Stop() {
    if (Running()) {
        WaitForQuiet();
    }
}

void LineScan::BeginAddress() {
    listener_.addressTried(address_ - range_.first + 1, range_.last - range_.first + 1, address_);
    row_ = ScanRow{};
    row_.pollAddress = address_;
    step_ = Step::Identify;
    requestAddress_ = hart::standard::ShortAddress(static_cast<std::uint8_t>(address_));
    attempt_ = 1;
    lastProblem_.clear();
    Send();
}

void LineScan::Send() {
    const std::uint8_t command =
        step_ == Step::Identify ? kReadUniqueIdentifier : kReadTagDescriptorDate;
    ++requestsSent_;
    reader_.Restart();
    port_.PurgeRead();
    const hart::standard::Bytes request = hart::standard::Request(requestAddress_, command);
    const auto sendingBegan = std::chrono::steady_clock::now();
    try {
        sender_.SendStandard(request);
    } catch (...) {
        // A port that refuses the frame ends the scan, as it ends any other exchange.
        WaitForQuiet();
        throw;
    }
    // The wait counts from the request's last byte on the line: the hold of request-to-send
    // after it is part of the wait, not added to it.
    const auto waited =
        std::chrono::steady_clock::now() - (sendingBegan + WireTime(request.size()));
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(answerTime_ - waited);
    answerTimer_.SetEnabled(false);
    answerTimer_.SetInterval(
        static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 1)));
    answerTimer_.SetEnabled(true);
}

void LineScan::SerComm1RxChar(ser::TSerCustomComm& Sender, int Count) {
    hart::ReadAnnounced(Sender, Count, readBuffer_, [this](auto bytes) { Collect(bytes); });
}

void LineScan::Collect(std::span<const std::uint8_t> bytes) {
    const int request = requestsSent_;
    for (const hart::standard::Answer& answer : reader_.Feed(bytes)) {
        // Once an answer is handled, the rest came for a request gone by, or while the line
        // goes quiet.
        if (!Running() || requestsSent_ != request) {
            return;
        }
        Handle(answer);
    }
}

void LineScan::Handle(const hart::standard::Answer& answer) {
    memo_.AppendLine(QStringLiteral("Поиск датчиков. Получен ответ:"));
    memo_.AppendLine(hart::BlankPrefixedByteText(answer.frame));
    if (!answer.checksumGood) {
        lastProblem_ = QStringLiteral("неверная контрольная сумма");
    } else if (!SameAddress(answer.address, requestAddress_)) {
        lastProblem_ = QStringLiteral("ответ с другого адреса");
    } else if (answer.command !=
               (step_ == Step::Identify ? kReadUniqueIdentifier : kReadTagDescriptorDate)) {
        lastProblem_ = QStringLiteral("ответ на другую команду");
    } else if (answer.byteCount < 2 || (answer.responseCode & kCommunicationError) != 0) {
        lastProblem_ = QStringLiteral("датчик сообщил об ошибке связи");
    } else {
        step_ == Step::Identify ? HandleIdentity(answer) : HandleTag(answer);
        return;
    }
    answerTimer_.SetEnabled(false);
    RepeatOrGiveUp();
}

void LineScan::HandleIdentity(const hart::standard::Answer& answer) {
    answerTimer_.SetEnabled(false);
    if (Refused(answer.responseCode)) {
        // A refusal is an answer: asking again would bring the same.
        row_.problem = QStringLiteral("отказ, код ответа %1").arg(answer.responseCode);
        EndAddress();
        return;
    }
    const std::optional<hart::DeviceIdentity> identity = hart::DecodeIdentity(answer.data);
    if (!identity) {
        lastProblem_ = QStringLiteral("ответ короче своих данных");
        RepeatOrGiveUp();
        return;
    }
    row_.identity = identity;
    row_.deviceStatus = answer.deviceStatus;
    step_ = Step::ReadTag;
    requestAddress_ = hart::standard::LongAddress(identity->uniqueAddress);
    attempt_ = 1;
    lastProblem_.clear();
    Send();
}

void LineScan::HandleTag(const hart::standard::Answer& answer) {
    answerTimer_.SetEnabled(false);
    if (Refused(answer.responseCode)) {
        // Command 13 not implemented, or refused: the identity stands without a tag.
        EndAddress();
        return;
    }
    row_.tag = hart::DecodeTagDescriptorDate(answer.data);
    row_.deviceStatus = answer.deviceStatus;
    if (!row_.tag) {
        lastProblem_ = QStringLiteral("ответ короче своих данных");
        RepeatOrGiveUp();
        return;
    }
    EndAddress();
}

void LineScan::AnswerTimeout() {
    answerTimer_.SetEnabled(false);
    if (!Running()) {
        // No answer to the last request can come any more.
        Finish();
        return;
    }
    memo_.AppendLine(QStringLiteral("Истекло время ожидания..."));
    if (reader_.Partial()) {
        lastProblem_ = QStringLiteral("ответ оборван");
    }
    RepeatOrGiveUp();
}

void LineScan::RepeatOrGiveUp() {
    if (attempt_ < range_.attempts) {
        ++attempt_;
        memo_.AppendLine(QStringLiteral("Попытка №") + QString::number(attempt_));
        Send();
        return;
    }
    if (step_ == Step::Identify && !lastProblem_.isEmpty()) {
        row_.problem = lastProblem_;
    }
    EndAddress();
}

void LineScan::EndAddress() {
    // A silent address gets no row; a transmitter whose tag could not be read keeps its identity.
    if (row_.identity || !row_.problem.isEmpty()) {
        listener_.rowFound(row_);
    }
    if (address_ < range_.last) {
        ++address_;
        BeginAddress();
    } else {
        WaitForQuiet();
    }
}

void LineScan::WaitForQuiet() {
    step_ = Step::Idle;
    // The timer runs while a request waits for its answer; that wait is the rest of the quiet
    // period. With no request outstanding the line is quiet already.
    if (!answerTimer_.Enabled()) {
        Finish();
    }
}

void LineScan::Finish() {
    session_.scanRunning = false;
    listener_.finished();
}

}  // namespace scan

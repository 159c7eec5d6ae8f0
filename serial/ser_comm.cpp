#include "serial/ser_comm.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "serial/platform/device.h"
#include "serial/platform/device_path.h"
#include "serial/ser_event_thread.h"
#include "serial/ser_messages.h"
#include "serial/ser_os_error.h"
#include "serial/ser_port_session.h"
#include "serial/ser_sleep.h"
#include "serial/ser_write_thread.h"

namespace ser {

TSerCustomComm::TSerCustomComm(TSerEnvironment environment)
    : environment_(std::move(environment)),
      buffers_({.changing = [this] { RefuseWhileOpen(); }, .changed = {}}),
      flowControl_({.changing = {}, .changed = [this] { ApplySettings(); }}) {
    if (!environment_.syncCall || !environment_.reportException) {
        throw std::invalid_argument("The serial-port component needs syncCall and reportException");
    }
    if (!environment_.devices) {
        environment_.devices = platform::SystemDevices();
    }
}

TSerCustomComm::~TSerCustomComm() {
    Close();
    // Threads still inside their step are detached; they touch nothing of ours afterwards.
    retired_.clear();
}

void TSerCustomComm::SetBaudrate(TSerBaudrate value) {
    StoreAndApply(baudrate_, value);
}

void TSerCustomComm::SetDatabits(TSerDatabits value) {
    StoreAndApply(databits_, value);
}

void TSerCustomComm::SetParity(TSerParity value) {
    StoreAndApply(parity_, value);
}

void TSerCustomComm::SetStopbits(TSerStopbits value) {
    StoreAndApply(stopbits_, value);
}

void TSerCustomComm::SetDeviceName(const std::string& value) {
    StoreWhileClosed(deviceName_, value);
}

void TSerCustomComm::SetPortNum(int value) {
    RefuseWhileOpen();
    if (value < 0) {
        throw std::out_of_range("PortNum cannot be negative");
    }
    portNum_ = value;
}

void TSerCustomComm::SetMonitorEvents(TSerCommEvents value) {
    StoreWhileClosed(monitorEvents_, value);
}

void TSerCustomComm::SetUpdateDCB(bool value) {
    StoreWhileClosed(updateDcb_, value);
}

void TSerCustomComm::SetEventPriority(TThreadPriority value) {
    eventPriority_ = value;
    if (eventThread_) {
        eventThread_->SetPriority(value);
    }
}

void TSerCustomComm::SetWritePriority(TThreadPriority value) {
    writePriority_ = value;
    if (writeThread_) {
        writeThread_->SetPriority(value);
    }
}

std::string TSerCustomComm::DisplayName() const {
    std::string name = deviceName_;
    if (const auto placeholder = name.find("%d"); placeholder != std::string::npos) {
        name.replace(placeholder, 2, std::to_string(portNum_));
    }
    return name;
}

void TSerCustomComm::Open() {
    RefuseWhileOpen();
    ReapRetired();
    OpenHandle();
    try {
        ApplySettings();
        platform::Device& device = session_->Device();
        session_->Check(device.SetQueueSizes(buffers_.ReadSize(), buffers_.WriteSize()),
                        messages::kInitBuffers);
        session_->Check(device.SetTimeouts(std::chrono::milliseconds(buffers_.ReadTimeout())),
                        messages::kSetTimeouts);
        session_->Check(device.SetEventMask(EventMask()), messages::kSetEventMask);
        // A node with nothing behind it can open and then hang up at its first settings.
        if (session_->Dead()) {
            throw ESerCommNoDevice(FormatText(messages::kNotFound, DisplayName().c_str()));
        }
        StartThreads();
    } catch (...) {
        Close();
        throw;
    }
}

void TSerCustomComm::OpenHandle() {
    const std::string name = DisplayName();
    platform::OsValue<std::unique_ptr<platform::Device>> opened =
        environment_.devices->Open(platform::DevicePath(name));
    if (opened.error) {
        const platform::OsError& error = *opened.error;
        if (error.kind == platform::OsError::Kind::NotFound) {
            throw ESerCommNoDevice(FormatText(messages::kNotFound, name.c_str()));
        }
        throw ESerCommNoDevice(
            FormatText(messages::kCannotOpen, name.c_str(), error.code, error.text.c_str()));
    }
    session_ = std::make_unique<TSerPortSession>(std::move(opened.value), buffers_.ReadSize());
}

void TSerCustomComm::StartThreads() {
    if (const TSerEventMask mask = EventMask(); mask != 0) {
        eventThread_ = std::make_unique<TSerCommEventThread>(
            *session_, mask, environment_.syncCall, environment_.reportException,
            TSerCommEventThread::TStep{
                .rxChar = [this] { DoRxChar(); },
                .events = [this](TSerEventMask events) { DoEvents(events); }},
            eventPriority_);
    }
    writeThread_ = std::make_unique<TSerCommWriteThread>(
        *session_, buffers_.WriteSize(), ByteTime(),
        [this](const std::stop_token& stop) { ReportWriteError(stop); }, writePriority_);
}

void TSerCustomComm::ReportWriteError(const std::stop_token& stop) {
    environment_.syncCall(
        [this] {
            try {
                DoEvents(kEvErr);
            } catch (...) {
                environment_.reportException(std::current_exception());
            }
        },
        stop);
}

void TSerCustomComm::Close() {
    if (session_) {
        writeThread_.reset();
        if (eventThread_) {
            eventThread_->Stop();
            // Closed from inside the thread's own step: it is waiting for us and cannot be
            // joined here; it ends when the step returns.
            if (eventThread_->InStep()) {
                retired_.push_back(std::move(eventThread_));
            }
            eventThread_.reset();
        }
        session_.reset();
    }
    ReapRetired();
}

void TSerCustomComm::ReapRetired() {
    std::erase_if(retired_, [](const auto& thread) { return !thread->InStep(); });
}

void TSerCustomComm::PurgeRead() {
    if (session_) {
        session_->Purge();
    }
}

bool TSerCustomComm::WriteChar(std::uint8_t byte) {
    return WriteBuf(&byte, 1) == 1;
}

int TSerCustomComm::WriteBuf(const std::uint8_t* data, int count) {
    if (!session_ || count <= 0) {
        return 0;
    }
    switch (writeThread_->Queue(data, count, std::chrono::milliseconds(buffers_.WriteTimeout()))) {
        case TSerCommWriteThread::TQueueResult::Queued:
            return count;
        case TSerCommWriteThread::TQueueResult::Dead:
            return 0;
        case TSerCommWriteThread::TQueueResult::Full:
            break;
    }
    throw ESerCommError(messages::kOutputFull);
}

int TSerCustomComm::ReadBuf(std::uint8_t* buffer, int count) {
    if (!session_ || count <= 0) {
        return 0;
    }
    return session_->Read(buffer, count);
}

int TSerCustomComm::InQueCount() {
    return session_ ? session_->InputCount() : 0;
}

void TSerCustomComm::SetRTS(bool on) {
    const TSerControlRts control = flowControl_.ControlRts();
    if (control == rtsHandshake || control == rtsToggle) {
        throw ESerCommError(messages::kRtsRefused);
    }
    SetLine(true, on);
}

void TSerCustomComm::SetDTR(bool on) {
    if (flowControl_.ControlDtr() == dtrHandshake) {
        throw ESerCommError(messages::kDtrRefused);
    }
    SetLine(false, on);
}

void TSerCustomComm::SetLine(bool rts, bool on) {
    if (session_) {
        session_->SetModemLine(rts ? platform::ModemLine::Rts : platform::ModemLine::Dtr, on);
    }
}

bool TSerCustomComm::Drain(std::chrono::milliseconds timeout) {
    if (!session_) {
        return true;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    if (!writeThread_->WaitEmpty(deadline)) {
        return false;
    }
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (!session_->Drain(std::max(left, std::chrono::milliseconds(0)))) {
        return false;
    }
    // The driver may report its queue empty while an adapter behind it still sends.
    const auto idle = writeThread_->LineIdleAt();
    SleepUntil(std::min(idle, deadline));
    return idle <= deadline;
}

void TSerCustomComm::DoRxChar() {
    const int count = InQueCount();
    if (count > 0 && OnRxChar) {
        OnRxChar(*this, count);
    }
}

void TSerCustomComm::DoEvents(TSerEventMask events) {
    // Line errors are read and cleared; no handler is raised for them.
    if ((events & kEvErr) != 0 && session_) {
        session_->ClearErrors();
    }
}

void TSerCustomComm::RefuseWhileOpen() const {
    if (Active()) {
        throw ESerCommError(messages::kPortOpen);
    }
}

void TSerCustomComm::ApplySettings() {
    if (writeThread_) {
        writeThread_->SetByteTime(ByteTime());
    }
    if (!session_ || !updateDcb_ || session_->Dead()) {
        return;
    }
    session_->Check(session_->Device().ApplySettings(CurrentLineSettings()), messages::kWriteDcb);
}

std::chrono::nanoseconds TSerCustomComm::ByteTime() const {
    // Start bit, data bits, parity bit, stop bits; in half bits for one and a half stop bits.
    const int stopHalfBits = stopbits_ == sb1 ? 2 : stopbits_ == sb15 ? 3 : 4;
    const int halfBits =
        2 * (1 + DataBitCount(databits_) + (parity_ == paNone ? 0 : 1)) + stopHalfBits;
    return std::chrono::nanoseconds(std::int64_t{500'000'000} * halfBits / BitRate(baudrate_));
}

platform::LineSettings TSerCustomComm::CurrentLineSettings() const {
    platform::LineSettings settings;
    settings.bitRate = BitRate(baudrate_);
    settings.dataBits = DataBitCount(databits_);
    settings.parity = parity_;
    settings.stopbits = stopbits_;
    settings.outCtsFlow = flowControl_.OutCtsFlow();
    settings.outDsrFlow = flowControl_.OutDsrFlow();
    settings.xonXoffOut = flowControl_.XonXoffOut();
    settings.xonXoffIn = flowControl_.XonXoffIn();
    settings.dsrSensitivity = flowControl_.DsrSensitivity();
    settings.txContinueOnXoff = flowControl_.TxContinueOnXoff();
    settings.controlDtr = flowControl_.ControlDtr();
    settings.controlRts = flowControl_.ControlRts();
    settings.xonLimit = buffers_.XonLimit();
    settings.xoffLimit = buffers_.XoffLimit();
    return settings;
}

TSerEventMask TSerCustomComm::EventMask() const {
    // Output goes through the writer thread, so the device does not watch for an empty queue.
    return monitorEvents_.Mask() & ~kEvTxEmpty;
}

}  // namespace ser

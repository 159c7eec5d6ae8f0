#pragma once
// The serial-port component. Plain C++: it reaches the user-interface thread only through the
// injected synchronized call, and the operating system only through the platform layer.
//
// Every operation is called on the user-interface thread, and OnRxChar is raised there too,
// one batch at a time. While the port is open an event thread brings received characters to
// OnRxChar and a writer thread hands queued output to the device.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

#include "serial/ser_environment.h"
#include "serial/ser_error.h"
#include "serial/ser_persistent.h"
#include "serial/ser_types.h"

namespace ser {

namespace platform {
struct LineSettings;
}

class TSerPortSession;
class TSerCommEventThread;
class TSerCommWriteThread;

// Common base of the library's components.
class TSerComponent {
public:
    TSerComponent() = default;
    TSerComponent(const TSerComponent&) = delete;
    TSerComponent& operator=(const TSerComponent&) = delete;
    virtual ~TSerComponent() = default;
};

class TSerCustomComm;
using TSerCommRxCharEvent = std::function<void(TSerCustomComm& Sender, int Count)>;

class TSerCustomComm : public TSerComponent {
public:
    // Raises std::invalid_argument when syncCall or reportException is missing.
    explicit TSerCustomComm(TSerEnvironment environment);
    // Closes the port and ends its threads.
    ~TSerCustomComm() override;

    // Line settings: stored, and applied at once while open.
    TSerBaudrate Baudrate() const { return baudrate_; }
    void SetBaudrate(TSerBaudrate value);
    TSerDatabits Databits() const { return databits_; }
    void SetDatabits(TSerDatabits value);
    TSerParity Parity() const { return parity_; }
    void SetParity(TSerParity value);
    TSerStopbits Stopbits() const { return stopbits_; }
    void SetStopbits(TSerStopbits value);

    // Refused while open: "Can't perform this operation while port is open".
    const std::string& DeviceName() const { return deviceName_; }
    void SetDeviceName(const std::string& value);
    int PortNum() const { return portNum_; }
    void SetPortNum(int value);
    TSerCommEvents MonitorEvents() const { return monitorEvents_; }
    void SetMonitorEvents(TSerCommEvents value);
    bool UpdateDCB() const { return updateDcb_; }
    void SetUpdateDCB(bool value);

    // Changed at once on a running thread.
    TThreadPriority EventPriority() const { return eventPriority_; }
    void SetEventPriority(TThreadPriority value);
    TThreadPriority WritePriority() const { return writePriority_; }
    void SetWritePriority(TThreadPriority value);

    // Buffers are refused while open; FlowControl is applied at once while open.
    TSerBuffers& Buffers() { return buffers_; }
    TSerFlowControl& FlowControl() { return flowControl_; }

    // DeviceName with its %d replaced by PortNum.
    std::string DisplayName() const;

    void Open();
    // Stops event delivery, drops output not yet sent, closes the device; nothing when closed.
    void Close();
    bool Active() const { return session_ != nullptr; }

    // Drops every received byte not read yet.
    void PurgeRead();
    // Queues the bytes for the writer thread and returns before they leave: the count (1 or
    // true) when queued, 0 (false) when closed or the device hung up; raises "Output buffer
    // is full. Please check comm status." when no room came within Buffers.WriteTimeout ms.
    bool WriteChar(std::uint8_t byte);
    int WriteBuf(const std::uint8_t* data, int count);
    // Copies up to `count` received bytes, oldest first, without waiting for more.
    int ReadBuf(std::uint8_t* buffer, int count);
    // Received bytes waiting to be read.
    int InQueCount();
    // Move the line at once; refused by the matching flow-control setting, also while closed.
    void SetRTS(bool on);
    void SetDTR(bool on);
    // Waits until every byte handed to WriteBuf/WriteChar has left the port: the writer
    // buffer is empty, the driver's output has drained, and the bytes have had their time on
    // the line since they were handed to the driver. True when drained (also at once when
    // closed: nothing to drain); false when `timeout` passed first, and at once when the
    // device hung up (its bytes never leave).
    bool Drain(std::chrono::milliseconds timeout);

    // Raised on the user-interface thread after bytes arrived; Count >= 1 is the number of
    // bytes waiting. The handler reads them with ReadBuf; bytes it leaves are counted again in
    // the next OnRxChar, which comes when a further byte arrives.
    TSerCommRxCharEvent OnRxChar;

protected:
    virtual void OpenHandle();
    virtual void StartThreads();
    virtual void DoRxChar();
    virtual void DoEvents(TSerEventMask events);

private:
    template <typename T>
    void StoreAndApply(T& field, T value) {
        if (value != field) {
            field = value;
            ApplySettings();
        }
    }
    template <typename T>
    void StoreWhileClosed(T& field, const T& value) {
        RefuseWhileOpen();
        field = value;
    }
    void RefuseWhileOpen() const;
    void ApplySettings();
    platform::LineSettings CurrentLineSettings() const;
    TSerEventMask EventMask() const;
    // How long one byte takes on the line with the current settings.
    std::chrono::nanoseconds ByteTime() const;
    // Writer thread: reports a failed write as a line error on the user-interface thread.
    void ReportWriteError(const std::stop_token& stop);
    void SetLine(bool rts, bool on);
    // Joins retired event threads whose step has finished.
    void ReapRetired();

    TSerEnvironment environment_;
    std::unique_ptr<TSerPortSession> session_;
    std::unique_ptr<TSerCommEventThread> eventThread_;
    std::unique_ptr<TSerCommWriteThread> writeThread_;
    std::vector<std::unique_ptr<TSerCommEventThread>> retired_;

    TSerBaudrate baudrate_ = br1200;
    TSerParity parity_ = paNone;
    TSerDatabits databits_ = db8;
    TSerStopbits stopbits_ = sb1;
    int portNum_ = 0;
    std::string deviceName_ = "\\\\.\\COM%d";
    TSerCommEvents monitorEvents_{ceError, ceRxChar, ceTxEmpty};
    TThreadPriority eventPriority_ = tpNormal;
    TThreadPriority writePriority_ = tpHighest;
    bool updateDcb_ = true;
    TSerBuffers buffers_;
    TSerFlowControl flowControl_;
};

// Publishes the component; adds no behaviour.
class TSerComm : public TSerCustomComm {
public:
    using TSerCustomComm::TSerCustomComm;
};

}  // namespace ser

#pragma once
// The main window: the menu, the three tabs, the timers, the serial-port component and the
// program's shared state, with the handlers wired to them.

#include <QAction>
#include <QMainWindow>
#include <QTabWidget>
#include <array>
#include <memory>
#include <vector>

#include "hart/program_state.h"
#include "serial/ser_comm.h"

class PortTab;
class RegistrationTab;
class SetupTab;
class TForm3;
class TForm5;
class TForm6;
class TForm7;
class TForm9;
class TForm10;
class TForm21;
class TTimer;
class UiThreadCalls;

namespace hart {
class FrameSender;
}  // namespace hart
namespace commands {
class RequestBuilders;
}  // namespace commands
namespace trend {
class TrendRecorder;
class TrendWindow;
}  // namespace trend
namespace scan {
class ScanWindow;
}  // namespace scan
namespace modes {
class ProtocolFiles;
class ProtocolSwitch;
class ReceivePath;
class RegistrationCycle;
class RegistrationPass;
class SetupTransaction;
class SlotRequests;
class SlotTimeouts;
}  // namespace modes

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // `devices` replaces the operating system's serial devices (tests); null uses them.
    explicit TForm1(std::shared_ptr<ser::platform::DeviceFactory> devices = nullptr);
    ~TForm1() override;

    hart::ProgramState& State() { return state_; }
    ser::TSerComm& Port() { return *SerComm1; }

private:
    void CreateControls();
    void CreateDialogs();
    void CreateLogic();
    void ConnectHandlers();
    void FormCreate();
    void N1Click();
    void N2Click();
    void TrendMenuItemClick();
    void ScanMenuItemClick();
    // Ticks the registration slots of the poll addresses the scan found, and shows their tab.
    void PollFound(const std::vector<int>& addresses);

    hart::ProgramState state_;
    std::unique_ptr<UiThreadCalls> uiCalls_;
    std::unique_ptr<ser::TSerComm> SerComm1;

    QAction* N1 = nullptr;
    QAction* N2 = nullptr;
    QAction* trendMenuItem_ = nullptr;
    QAction* scanMenuItem_ = nullptr;
    QTabWidget* PageControl1 = nullptr;
    SetupTab* setupTab_ = nullptr;
    RegistrationTab* registrationTab_ = nullptr;
    PortTab* portTab_ = nullptr;

    TTimer* Timer1 = nullptr;
    TTimer* Timer3 = nullptr;
    std::array<TTimer*, hart::kSlotCount + 1> slotTimers_{};  // Timer4 .. Timer13

    TForm3* Form3 = nullptr;
    TForm5* Form5 = nullptr;
    TForm6* Form6 = nullptr;
    TForm7* Form7 = nullptr;
    TForm9* Form9 = nullptr;
    TForm10* Form10 = nullptr;
    TForm21* Form21 = nullptr;

    std::unique_ptr<trend::TrendRecorder> trendRecorder_;
    trend::TrendWindow* trendWindow_ = nullptr;  // made when first opened
    scan::ScanWindow* scanWindow_ = nullptr;     // made when first opened
    std::unique_ptr<modes::ProtocolFiles> protocolFiles_;
    std::unique_ptr<hart::FrameSender> sender_;
    std::unique_ptr<commands::RequestBuilders> builders_;
    std::unique_ptr<modes::ReceivePath> receivePath_;
    std::unique_ptr<modes::SlotRequests> slotRequests_;
    std::unique_ptr<modes::RegistrationPass> registrationPass_;
    std::unique_ptr<modes::SetupTransaction> setup_;
    std::unique_ptr<modes::RegistrationCycle> cycle_;
    std::unique_ptr<modes::SlotTimeouts> slotTimeouts_;
    std::unique_ptr<modes::ProtocolSwitch> protocolSwitch_;
};

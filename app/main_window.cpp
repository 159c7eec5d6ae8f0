#include "app/main_window.h"

#include <QApplication>
#include <QMenuBar>
#include <QTimer>
#include <algorithm>

#include "app/about_box.h"
#include "app/port_tab.h"
#include "app/registration_tab.h"
#include "app/setup_tab.h"
#include "commands/damping_dialog.h"
#include "commands/fixed_current_dialog.h"
#include "commands/poll_address_dialog.h"
#include "commands/range_dialog.h"
#include "commands/request_builders.h"
#include "commands/units_dialog.h"
#include "commands/variables_dialog.h"
#include "hart/conversions.h"
#include "hart/frame_sender.h"
#include "hart/result_table.h"
#include "modes/line_use.h"
#include "modes/protocol_files.h"
#include "modes/protocol_switch.h"
#include "modes/receive_path.h"
#include "modes/registration_cycle.h"
#include "modes/registration_pass.h"
#include "modes/setup_transaction.h"
#include "modes/slot_requests.h"
#include "modes/slot_timeouts.h"
#include "scan/scan_window.h"
#include "serial_qt/ui_thread_calls.h"
#include "trend/trend_recorder.h"
#include "trend/trend_window.h"
#include "ui/application_error.h"
#include "ui/named.h"
#include "ui/string_grid.h"
#include "ui/timer.h"

namespace {

// A handler of a control's signal: an exception escaping it goes to the error report.
template <typename Handler>
auto Reported(Handler handler) {
    return [handler] { Guarded(handler); };
}

// Shows a window beside the main window, or brings it to the front when it is open already,
// perhaps behind the main window.
void ShowOrRaise(QWidget& window) {
    if (window.isVisible()) {
        window.raise();
        window.activateWindow();
    } else {
        window.show();
    }
}

}  // namespace

TForm1::TForm1(std::shared_ptr<ser::platform::DeviceFactory> devices)
    : uiCalls_(std::make_unique<UiThreadCalls>()) {
    ser::TSerEnvironment environment;
    environment.syncCall = uiCalls_->SyncCall();
    environment.reportException = [](std::exception_ptr error) { ReportApplicationError(error); };
    environment.devices = std::move(devices);
    SerComm1 = std::make_unique<ser::TSerComm>(std::move(environment));
    SerComm1->SetEventPriority(ser::tpHighest);
    SerComm1->SetWritePriority(ser::tpHighest);

    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Программа работы с датчиками давления"));
    CreateControls();
    CreateDialogs();
    CreateLogic();
    ConnectHandlers();
    FormCreate();
}

TForm1::~TForm1() {
    // The port goes first: no received characters may reach the handlers being torn down.
    SerComm1.reset();
}

void TForm1::CreateControls() {
    auto* menu = menuBar();
    menu->setObjectName(QStringLiteral("MainMenu1"));
    N1 = menu->addAction(QStringLiteral("О программе"));
    N1->setObjectName(QStringLiteral("N1"));
    N2 = menu->addAction(QStringLiteral("Выход"));
    N2->setObjectName(QStringLiteral("N2"));
    trendMenuItem_ = menu->addAction(QStringLiteral("График"));
    trendMenuItem_->setObjectName(QStringLiteral("TrendMenuItem"));
    scanMenuItem_ = menu->addAction(QStringLiteral("Поиск датчиков"));
    scanMenuItem_->setObjectName(QStringLiteral("ScanMenuItem"));

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setDocumentMode(true);
    PageControl1->tabBar()->setExpanding(false);
    setupTab_ = new SetupTab;
    setupTab_->setObjectName(QStringLiteral("TabSheet1"));
    registrationTab_ = new RegistrationTab;
    registrationTab_->setObjectName(QStringLiteral("TabSheet2"));
    portTab_ = new PortTab(*SerComm1, [this] { state_.receive.Restart(); });
    portTab_->setObjectName(QStringLiteral("TabSheet4"));
    PageControl1->addTab(setupTab_, QStringLiteral("Режим настройки"));
    PageControl1->addTab(registrationTab_, QStringLiteral("Режим регистрации"));
    // "C" is Latin here, "ОМ" Cyrillic.
    PageControl1->addTab(portTab_, QStringLiteral("Настройка C\u041E\u041C-порта"));
    setCentralWidget(PageControl1);

    Timer1 = new TTimer(QStringLiteral("Timer1"), this);
    Timer3 = new TTimer(QStringLiteral("Timer3"), this);
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        slotTimers_[slot] = new TTimer(QStringLiteral("Timer%1").arg(slot + 3), this);
    }
}

void TForm1::CreateDialogs() {
    Form3 = new TForm3(this);
    Form5 = new TForm5(this);
    Form6 = new TForm6(this);
    Form7 = new TForm7(this);
    Form9 = new TForm9(this);
    Form10 = new TForm10(this);
    Form21 = new TForm21(this);
}

void TForm1::CreateLogic() {
    SetupTab& setup = *setupTab_;
    RegistrationTab& registration = *registrationTab_;

    trendRecorder_ = std::make_unique<trend::TrendRecorder>();
    protocolFiles_ = std::make_unique<modes::ProtocolFiles>([this](std::exception_ptr error) {
        QTimer::singleShot(0, this, [error] { ReportApplicationError(error); });
    });
    sender_ = std::make_unique<hart::FrameSender>(state_.request, *SerComm1, *setup.Memo1);
    builders_ = std::make_unique<commands::RequestBuilders>(
        state_, commands::ParameterDialogs{.Form3 = *Form3,
                                           .Form5 = *Form5,
                                           .Form6 = *Form6,
                                           .Form7 = *Form7,
                                           .Form9 = *Form9,
                                           .Form10 = *Form10});
    receivePath_ =
        std::make_unique<modes::ReceivePath>(state_, modes::ReceivePathControls{
                                                         .Memo1 = *setup.Memo1,
                                                         .Button1 = *setup.Button1,
                                                         .ComboBox1 = *setup.ComboBox1,
                                                         .StringGrid1 = *setup.StringGrid1,
                                                         .Timer3 = *Timer3,
                                                         .StringGrid2 = *registration.StringGrid2,
                                                         .ComboBox2 = *registration.ComboBox2,
                                                         .CheckBox1 = *registration.CheckBox1,
                                                         .slotTimers = slotTimers_,
                                                         .lamps = registration.lamps,
                                                         .Form5 = *Form5,
                                                         .Form10 = *Form10,
                                                         .protocol = *protocolFiles_,
                                                         .readings = *trendRecorder_,
                                                     });

    const modes::RegistrationControls controls{
        .slotBoxes = registration.slotBoxes,
        .lamps = registration.lamps,
        .slotTimers = slotTimers_,
        .ComboBox2 = *registration.ComboBox2,
        .TrackBar1 = *registration.TrackBar1,
        .Label1 = *registration.Label1,
        .Label33 = *registration.Label33,
        .ProgressBar1 = *registration.ProgressBar1,
        .Button2 = *registration.Button2,
        .CheckBox1 = *registration.CheckBox1,
        .StringGrid2 = *registration.StringGrid2,
        .OpenDialog1 = [&registration]() -> QFileDialog& { return registration.OpenDialog1(); },
        .Timer1 = *Timer1,
        .Timer3 = *Timer3,
        .Memo1 = *setup.Memo1,
        .LabeledEdit15 = *setup.LabeledEdit15,
    };
    slotRequests_ = std::make_unique<modes::SlotRequests>(state_, controls, *builders_, *sender_,
                                                          *trendRecorder_);
    registrationPass_ = std::make_unique<modes::RegistrationPass>(state_, controls, *slotRequests_);
    setup_ = std::make_unique<modes::SetupTransaction>(state_,
                                                       modes::SetupControls{
                                                           .Button1 = *setup.Button1,
                                                           .ComboBox1 = *setup.ComboBox1,
                                                           .LabeledEdit4 = *setup.LabeledEdit4,
                                                           .LabeledEdit15 = *setup.LabeledEdit15,
                                                           .Memo1 = *setup.Memo1,
                                                           .StringGrid1 = *setup.StringGrid1,
                                                           .Timer3 = *Timer3,
                                                       },
                                                       *SerComm1, *builders_, *sender_,
                                                       [this] { registrationPass_->Run(); });
    cycle_ = std::make_unique<modes::RegistrationCycle>(state_, controls, *SerComm1, *slotRequests_,
                                                        *trendRecorder_);
    slotTimeouts_ = std::make_unique<modes::SlotTimeouts>(state_, controls, *slotRequests_);
    protocolSwitch_ = std::make_unique<modes::ProtocolSwitch>(state_, controls, *protocolFiles_);
}

void TForm1::ConnectHandlers() {
    connect(N1, &QAction::triggered, this, Reported([this] { N1Click(); }));
    connect(N2, &QAction::triggered, this, Reported([this] { N2Click(); }));
    connect(trendMenuItem_, &QAction::triggered, this, Reported([this] { TrendMenuItemClick(); }));
    connect(scanMenuItem_, &QAction::triggered, this, Reported([this] { ScanMenuItemClick(); }));
    connect(setupTab_->Button1, &QPushButton::clicked, this,
            Reported([this] { setup_->Button1Click(); }));
    Timer3->OnTimer = [this] { setup_->Timer3Timer(); };
    Timer1->OnTimer = [this] { cycle_->Timer1Timer(); };
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        slotTimers_[slot]->OnTimer = [this, slot] { slotTimeouts_->SlotTimeout(slot); };
    }
    RegistrationTab& registration = *registrationTab_;
    connect(registration.Button2, &QPushButton::clicked, this,
            Reported([this] { cycle_->Button2Click(); }));
    connect(registration.TrackBar1, &QSlider::valueChanged, this,
            Reported([this] { cycle_->TrackBar1Change(); }));
    connect(registration.CheckBox1, &QCheckBox::toggled, this,
            Reported([this] { protocolSwitch_->CheckBox1Click(); }));
    SerComm1->OnRxChar = [this](ser::TSerCustomComm& sender, int count) {
        if (scanWindow_ != nullptr && scanWindow_->Scan().OwnsLine()) {
            scanWindow_->Scan().SerComm1RxChar(sender, count);
        } else {
            receivePath_->SerComm1RxChar(sender, count);
        }
    };
}

void TForm1::FormCreate() {
    auto& session = state_.session;
    session.AttemptNo = 1;
    setupTab_->ComboBox1->setCurrentIndex(0);
    registrationTab_->ComboBox2->setCurrentIndex(0);
    session.GridRow = 1;
    session.RegRow = 1;
    session.ResponseTimeout = 250;
    portTab_->OpenAtStartUp();
    setupTab_->StringGrid1->SetTitles(hart::ResultTableTitles());
    registrationTab_->StringGrid2->SetTitles(hart::ResultTableTitles());
    Timer1->SetEnabled(false);
    Timer3->SetEnabled(false);
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        slotTimers_[slot]->SetEnabled(false);
    }
}

void TForm1::N1Click() {
    Form21->exec();
}

void TForm1::N2Click() {
    close();
}

void TForm1::TrendMenuItemClick() {
    if (trendWindow_ == nullptr) {
        trendWindow_ = new trend::TrendWindow(*trendRecorder_, this);
        CentreOnScreen(*trendWindow_);
    }
    ShowOrRaise(*trendWindow_);
}

void TForm1::ScanMenuItemClick() {
    if (scanWindow_ == nullptr) {
        scanWindow_ = new scan::ScanWindow(
            state_.session, *SerComm1, *sender_, *setupTab_->Memo1,
            scan::ScanHooks{
                .refusal =
                    [this] {
                        if (!SerComm1->Active()) {
                            return modes::kOpenPortFirst;
                        }
                        return modes::ModesHoldTheLine(state_.session, *Timer3)
                                   ? modes::kModesHoldTheLine
                                   : QString();
                    },
                .attemptLimit = [this] { return StrToInt(setupTab_->LabeledEdit15->text()); },
                .pollFound = [this](const std::vector<int>& addresses) { PollFound(addresses); },
            },
            this);
        CentreOnScreen(*scanWindow_);
    }
    ShowOrRaise(*scanWindow_);
}

void TForm1::PollFound(const std::vector<int>& addresses) {
    RegistrationTab& registration = *registrationTab_;
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        const bool found = std::find(addresses.begin(), addresses.end(), slot) != addresses.end();
        registration.slotBoxes[slot]->setChecked(found);
        registration.slotAddresses[slot]->setText(QString::number(slot));
    }
    PageControl1->setCurrentWidget(registrationTab_);
    raise();
    activateWindow();
}

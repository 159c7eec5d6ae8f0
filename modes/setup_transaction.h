#pragma once
// The setup tab's transaction: one command to one transmitter, repeated on silence up to the
// attempt limit.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

#include "hart/program_state.h"
#include "ui/trace_memo.h"

class TStringGrid;
class TTimer;

namespace ser {
class TSerCustomComm;
}
namespace hart {
class FrameSender;
}
namespace commands {
class RequestBuilders;
}

namespace modes {

struct SetupControls {
    QPushButton& Button1;
    QComboBox& ComboBox1;
    QLineEdit& LabeledEdit4;   // poll address
    QLineEdit& LabeledEdit15;  // attempt limit
    TraceMemo& Memo1;
    TStringGrid& StringGrid1;
    TTimer& Timer3;
};

class SetupTransaction {
public:
    // `registrationPass` handles a time-out that fires after registration has taken the line.
    SetupTransaction(hart::ProgramState& state, const SetupControls& controls,
                     ser::TSerCustomComm& port, commands::RequestBuilders& builders,
                     hart::FrameSender& sender, std::function<void()> registrationPass)
        : state_(state),
          controls_(controls),
          port_(port),
          builders_(builders),
          sender_(sender),
          registrationPass_(std::move(registrationPass)) {}

    // "Старт": builds and sends the chosen command and starts the time-out.
    void Button1Click();
    // Expiry of the time-out: repeats the request, or gives up once the attempt limit is passed.
    void Timer3Timer();

private:
    // Returns false when the port is closed (the operator has been told); nothing was sent then.
    bool StartSequence();
    void RepeatOrGiveUp();
    // Back to idle: "Старт" usable again, the next sending a first one.
    void EndTransaction();

    hart::ProgramState& state_;
    SetupControls controls_;
    ser::TSerCustomComm& port_;
    commands::RequestBuilders& builders_;
    hart::FrameSender& sender_;
    std::function<void()> registrationPass_;
};

// Back to idle: "Старт" usable again, the next sending a first one. Also what an answer to the
// setup request does, once its time-out has stopped.
void EndSetupTransaction(hart::SessionState& session, QPushButton& Button1);

// The message of both tabs' start buttons when the port is closed.
extern const QString kOpenPortFirst;

}  // namespace modes

#pragma once
// What the poll tick, the slot time-outs and the setup time-out's pass share: sending the
// registration request to one slot, reading the attempt limit, and the no-answer row.

#include <QString>
#include <optional>

#include "commands/registration_reading_sink.h"
#include "modes/registration_controls.h"

namespace hart {
class FrameSender;
struct ProgramState;
}  // namespace hart
namespace commands {
class RequestBuilders;
struct CommandRow;
}  // namespace commands

namespace modes {

class SlotRequests {
public:
    SlotRequests(hart::ProgramState& state, const RegistrationControls& controls,
                 commands::RequestBuilders& builders, hart::FrameSender& sender,
                 commands::RegistrationReadingSink& readings)
        : state_(state),
          controls_(controls),
          builders_(builders),
          sender_(sender),
          readings_(readings) {}

    // Builds the request of the selected registration command for slot `slot` and sends it. A
    // repeat traces "Датчик №k: попытка №n" between building and sending.
    void SendToSlot(int slot, std::optional<int> repeatAttempt = std::nullopt);

    // AttemptLimit := the attempt limit field, low eight bits.
    std::uint8_t ReadAttemptLimit();

    // Writes the "no answer" row of `slot` on its block of the registration table and reports
    // the slot silent.
    void WriteNoAnswerRow(int slot, const QString& commandNumber);

    // The command number of the selected registration command, as text.
    QString SelectedCommandNumber() const;

private:
    // The row of the selected registration command (the first while none is selected).
    const commands::CommandRow& SelectedCommand() const;

    hart::ProgramState& state_;
    RegistrationControls controls_;
    commands::RequestBuilders& builders_;
    hart::FrameSender& sender_;
    commands::RegistrationReadingSink& readings_;
};

}  // namespace modes

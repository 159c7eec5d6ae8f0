#include "fuzz/receive_path_harness.h"

#include <QApplication>
#include <QTextCursor>
#include <cstdio>

#include "commands/catalogue.h"
#include "commands/device_variables.h"
#include "hart/frame_layout.h"
#include "hart/result_table.h"
#include "ui/radio_group.h"

namespace fuzzing {
namespace {

constexpr int kRegistrationRows = 255;

// Qt warns about misuse (an index out of range, a widget in a bad state): a fault here.
void FailOnWarnings(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg) {
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(message));
    Fail("Qt reported a problem");
}

}  // namespace

ReceivePathHarness::ReceivePathHarness()
    : path_(state_, controls_.For(sink_), [this] { return now_; }) {
    port_.OnRxChar = [this](ser::TSerCustomComm& sender, int count) {
        path_.SerComm1RxChar(sender, count);
    };
}

void ReceivePathHarness::Run(std::span<const std::uint8_t> data) {
    const Input input = ReadInput(data);
    Reset(input.setup);
    Choices choices(input.setup.chunkSeed);
    std::span<const std::uint8_t> rest = input.stream;
    while (!rest.empty()) {
        if (input.setup.modeChanges) {
            MaybeChangeMode(choices);
        }
        const std::size_t size = choices.ChunkSize(input.setup.largestChunk, rest.size());
        LetTimePass(choices);
        Deliver(rest.first(size), input.setup.throughPort, choices);
        rest = rest.subspan(size);
        CheckRules();
    }
    // Bytes a handler left in the port are announced again with the next event.
    while (port_.InQueCount() > 0) {
        port_.OnRxChar(port_, port_.InQueCount());
        CheckRules();
    }
    // What the widgets posted to themselves would pile up without the event loop of the program.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void ReceivePathHarness::Reset(const Setup& setup) {
    // Every input starts after a long quiet line.
    now_ += std::chrono::hours(1);
    state_ = hart::ProgramState{};
    auto& session = state_.session;
    session.Mode = setup.mode;
    session.GridRow = setup.gridRow;
    session.RegRow = setup.regRow;
    session.AttemptLimit = setup.attemptLimit;
    auto& arrays = state_.slotArrays;
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        arrays.SlotEnabled[slot] = setup.slotTicked[slot] ? 1 : 0;
        arrays.SlotState[slot] = setup.slotState[slot];
        arrays.SlotAttempts[slot] = setup.slotAttempts[slot];
        controls_.slotTimers[slot]->SetEnabled(setup.slotTicked[slot]);
    }
    state_.request.TxCommand = setup.lastCommand;
    for (int group = 0; group < commands::kVariableGroups; ++group) {
        state_.request
            .TxFrame[hart::frame::request::kDataAt + group * commands::kVariableGroupSize] =
            setup.requestCodes[group];
    }
    controls_.timer3.SetEnabled(setup.mode == hart::kModeSetup);

    ResetTrace();
    controls_.button1.setEnabled(false);
    controls_.grid1.clearContents();
    controls_.grid1.SetRowCount(setup.gridRow + 1);
    controls_.grid2.clearContents();
    if (setup.earlierBlocks) {
        FillEarlierBlocks(setup);
    }
    controls_.comboBox1.setCurrentIndex(setup.setupCommand);
    controls_.comboBox2.setCurrentIndex(setup.registrationCommand);
    controls_.checkBox1.setChecked(setup.protocolTicked);
    const std::array lists{controls_.form5.ComboBox1, controls_.form5.ComboBox2,
                           controls_.form5.ComboBox3, controls_.form5.ComboBox4};
    for (int group = 0; group < commands::kVariableGroups; ++group) {
        lists[group]->setCurrentIndex(setup.variableChoices[group]);
    }
    controls_.form10.RadioGroup1->SetItemIndex(setup.unitChoice);
    port_.PurgeRead();
}

void ReceivePathHarness::ResetTrace() {
    // Every input finds the trace holding an empty line. Into an empty trace, the input's first
    // line would be laid out at once (the pane's layout does so when a document's only line
    // changes, shaping its text: 100 000 instructions, a twentieth of an average input); an
    // empty line costs next to nothing to lay out.
    controls_.memo.clear();
    QTextCursor(controls_.memo.document()).insertBlock();
}

void ReceivePathHarness::FillEarlierBlocks(const Setup& setup) {
    // The blocks of the ticked slots lie one after the other, in an order rotated by the pattern.
    const int blockSize = commands::PolledRow(setup.registrationCommand)->Registration().blockSize;
    int row = 1;
    for (int i = 0; i < hart::kSlotCount; ++i) {
        const int slot = 1 + (i + setup.blockPattern) % hart::kSlotCount;
        if (setup.slotTicked[slot] && row < kRegistrationRows) {
            controls_.grid2.SetCell(row, hart::column::kAddress, QString::number(slot));
            row += blockSize;
        }
    }
}

void ReceivePathHarness::MaybeChangeMode(Choices& choices) {
    // Now and then the operator starts the other mode, which drops a partly received answer.
    const std::uint32_t choice = choices.Next();
    if (choice % 8 != 0) {
        return;
    }
    state_.session.Mode = static_cast<std::uint8_t>(1 + (choice >> 3) % 2);
    state_.receive.Restart();
}

void ReceivePathHarness::LetTimePass(Choices& choices) {
    const std::uint32_t choice = choices.Next();
    now_ += std::chrono::milliseconds(choice % 8 == 0 ? 300 + (choice >> 3) % 1000 : choice % 20);
}

void ReceivePathHarness::Deliver(std::span<const std::uint8_t> chunk, bool throughPort,
                                 Choices& choices) {
    if (!throughPort) {
        path_.Collect(chunk);
        return;
    }
    port_.Arrive(chunk);
    // The handler takes what the event announces; bytes that came in since wait for the next.
    const int waiting = port_.InQueCount();
    const int announced =
        choices.Next() % 4 == 0 ? 1 + static_cast<int>(choices.Next() % waiting) : waiting;
    port_.OnRxChar(port_, announced);
}

void ReceivePathHarness::CheckRules() const {
    const auto& rx = state_.receive;
    if (rx.RxCount < 0 || rx.RxCount > hart::kRxBufSize) {
        Fail("RxCount outside the receive buffer");
    }
    if (rx.rxDiscard < 0 || (rx.rxDiscard > 0 && rx.RxCount != 0)) {
        Fail("bytes collected while an oversized answer is being dropped");
    }
    if (rx.RxLength < 0 || rx.RxLength > hart::kRxBufSize) {
        Fail("RxLength outside the receive buffer");
    }
    if (controls_.grid1.RowCount() != state_.session.GridRow + 1) {
        Fail("the setup table's last row is not the row of the next answer");
    }
    if (controls_.grid2.RowCount() != kRegistrationRows) {
        Fail("the registration table changed its size");
    }
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        if (state_.slotArrays.SlotState[slot] > hart::kLampGreen) {
            Fail("a lamp state outside the lamp table");
        }
        if (state_.slotArrays.SlotAttempts[slot] == 0) {
            Fail("an attempt counter at 0");
        }
    }
}

namespace {

// The offscreen platform unless another is asked for; set before the application starts. The
// local time zone named by its file: with TZ unset, glibc looks at /etc/localtime again for every
// local time it makes, a file-system call for every time stamp an answer writes.
bool PrepareEnvironment() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (!qEnvironmentVariableIsSet("TZ")) {
        qputenv("TZ", ":/etc/localtime");
    }
    return true;
}

// The application the widgets need, and the harness, for the life of the process. Qt's warnings
// count as faults once the application has started (its start-up notes about the environment do
// not).
struct FuzzProcess {
    ~FuzzProcess() { qInstallMessageHandler(previousHandler); }

    bool prepared = PrepareEnvironment();
    int argc = 1;
    char name[20] = "receive_path_fuzzer";
    char* argv[2] = {name, nullptr};
    QApplication application{argc, argv};
    QtMessageHandler previousHandler = qInstallMessageHandler(FailOnWarnings);
    ReceivePathHarness harness;
};

}  // namespace

void RunReceivePath(std::span<const std::uint8_t> data) {
    static FuzzProcess process;
    process.harness.Run(data);
}

}  // namespace fuzzing

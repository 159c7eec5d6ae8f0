#pragma once
// The program's shared state: a few plain structs owned by the main window and handed by
// reference to the code that reads or writes them, so each test builds a fresh program state.

#include <array>
#include <cstdint>

#include "hart/frame_layout.h"

namespace hart {

inline constexpr int kTxFrameSize = 36;  // request frame positions 0..35
inline constexpr int kRxBufSize = 60;    // response positions 1..60
inline constexpr int kMaxResponseData =
    kRxBufSize - frame::response::kOverhead;  // largest that fits
inline constexpr int kSlotCount = 10;

// Values of `Mode`.
inline constexpr std::uint8_t kModeNone = 0;
inline constexpr std::uint8_t kModeSetup = 1;
inline constexpr std::uint8_t kModeRegistration = 2;

// Values of `SlotState`, the lamp states.
inline constexpr std::uint8_t kLampSilver = 0;
inline constexpr std::uint8_t kLampRed = 1;
inline constexpr std::uint8_t kLampYellow = 2;
inline constexpr std::uint8_t kLampGreen = 3;

// The request being framed and sent.
struct RequestState {
    std::uint8_t PollAddress = 0;
    std::uint8_t TxCommand = 0;
    std::uint8_t TxByteCount = 0;
    std::array<std::uint8_t, kTxFrameSize> TxFrame{};
    // The last checksum computed: the request's after sending, the response's after dispatching.
    std::uint8_t Checksum = 0;
};

// The response being collected.
struct ReceiveState {
    std::array<std::uint8_t, kRxBufSize + 1> RxBuf{};  // positions 1..60; 0 is unused
    int RxCount = 0;                                   // bytes collected so far
    int RxLength = 0;                                  // length of the last complete response
    int rxDiscard = 0;  // bytes still to drop of a response too long for RxBuf

    // Starts collecting the next response from position 1.
    void Restart() {
        RxCount = 0;
        rxDiscard = 0;
    }
};

// The ten registration slots, indexed 1..10 (index 0 is unused).
struct SlotArrays {
    std::array<std::uint8_t, kSlotCount + 1> SlotEnabled{};
    std::array<std::uint8_t, kSlotCount + 1> SlotState{};
    std::array<std::uint8_t, kSlotCount + 1> SlotAttempts{};
};

// Which mode owns the line, where answers go, and the transaction counters.
struct SessionState {
    std::uint8_t Mode = kModeNone;
    int GridRow = 1;                // setup table row of the next setup answer
    int RegRow = 1;                 // registration table row being written
    std::uint8_t ReplyAddress = 0;  // address of the registration answer being decoded
    std::uint8_t AttemptNo = 1;
    std::uint8_t AttemptLimit = 0;
    int ResponseTimeout = 250;  // ms
    std::uint8_t AskVariablesFlag = 0;
    int PeriodCounter = 0;
    bool registrationRunning = false;  // between registration's "Старт" and "Стоп"
    bool scanRunning = false;          // while a scan of the line holds it
};

struct ProgramState {
    RequestState request;
    ReceiveState receive;
    SlotArrays slotArrays;
    SessionState session;
};

}  // namespace hart

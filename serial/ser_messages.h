#pragma once
// The component's error texts; the "(%d), %s" ones take the system's error code and text.

namespace ser::messages {

inline constexpr char kPortOpen[] = "Can't perform this operation while port is open";
inline constexpr char kNotFound[] = "Specified device not found (%s).";
inline constexpr char kCannotOpen[] = "Can't open specified device %s (Error %d, %s)";
inline constexpr char kWriteDcb[] = "Error writing dcb (%d), %s";
inline constexpr char kInitBuffers[] = "Error initializing buffers (%d), %s";
inline constexpr char kSetTimeouts[] = "Error setting timeouts (%d), %s";
inline constexpr char kSetEventMask[] = " Error setting EventMask (%d), %s";
inline constexpr char kReadError[] = "Read error (%d), %s";
inline constexpr char kOutputFull[] = "Output buffer is full. Please check comm status.";
inline constexpr char kClearBuffers[] = "Error clearing buffers (%d), %s";
inline constexpr char kStatistics[] = "Error retrieving statistics (%d), %s";
inline constexpr char kCommFunction[] = "Error calling comm function (%d), %s";
inline constexpr char kRtsRefused[] =
    "RTS line updates not allowed when flowcontrol is set to Handshake or Toggle.";
inline constexpr char kDtrRefused[] =
    "DTR line updates not allowed when flowcontrol is set to Handshake.";

}  // namespace ser::messages

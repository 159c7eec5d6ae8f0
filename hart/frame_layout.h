#pragma once
// Where each field of a HART frame lies, named once.
//
// A request is framed in TxFrame and goes on the wire from position 0, so its positions count
// from 0. A response is collected into RxBuf as it arrives: the n-th byte received goes to
// position n, so its positions count from 1 and position 0 is never used. The same field of a
// frame therefore lies one position further on in RxBuf than in TxFrame.

#include <cstdint>

namespace hart::frame {

inline constexpr std::uint8_t kPreambleByte = 255;
inline constexpr std::uint8_t kRequestDelimiter = 130;  // master to device, five address bytes
inline constexpr std::uint8_t kAddressFiller = 255;     // the first four address bytes
inline constexpr int kPreambleLength = 3;
inline constexpr int kAddressLength = 5;

// Positions in TxFrame, from 0.
namespace request {
inline constexpr int kDelimiterAt = 3;  // the first byte the checksum covers
inline constexpr int kAddressAt = 4;
inline constexpr int kPollAddressAt = 8;  // the last address byte
inline constexpr int kCommandAt = 9;
inline constexpr int kByteCountAt = 10;
inline constexpr int kDataAt = 11;
// A request is its byte count + kOverhead bytes long; the checksum is its last byte.
inline constexpr int kOverhead = 12;
}  // namespace request

// Positions in RxBuf, from 1.
namespace response {
inline constexpr int kDelimiterAt = 4;  // the first byte the checksum covers
inline constexpr int kPollAddressAt = 9;
inline constexpr int kCommandAt = 10;
inline constexpr int kByteCountAt = 11;
inline constexpr int kStatusAt = 12;  // two status bytes, passed over
inline constexpr int kDataAt = 14;
// A response is its byte count + kOverhead bytes long; the checksum is its last byte.
inline constexpr int kOverhead = 14;
}  // namespace response

}  // namespace hart::frame

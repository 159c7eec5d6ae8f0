#pragma once
// Settings vocabulary of the serial-port component: enumerations with the values they put into
// the device settings, and the event bits of a line-event batch.

#include <cstdint>
#include <initializer_list>

namespace ser {

enum class TSerBaudrate {
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
using enum TSerBaudrate;

enum class TSerDatabits { db4, db5, db6, db7, db8 };
using enum TSerDatabits;

// Values are the device-settings parity codes (NOPARITY .. SPACEPARITY).
enum class TSerParity { paNone = 0, paOdd = 1, paEven = 2, paMark = 3, paSpace = 4 };
using enum TSerParity;

// Values are the device-settings stop-bit codes (ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS).
enum class TSerStopbits { sb1 = 0, sb15 = 1, sb2 = 2 };
using enum TSerStopbits;

enum class TSerControlDtr { dtrDisabled, dtrEnabled, dtrHandshake };
using enum TSerControlDtr;

enum class TSerControlRts { rtsDisabled, rtsEnabled, rtsHandshake, rtsToggle };
using enum TSerControlRts;

// Thread priority levels; the platform layer maps them best-effort.
enum class TThreadPriority {
    tpIdle = -15,
    tpLowest = -2,
    tpLower = -1,
    tpNormal = 0,
    tpHigher = 1,
    tpHighest = 2,
    tpTimeCritical = 15
};
using enum TThreadPriority;

// Line-event bits of a batch (the values of the Windows event mask).
using TSerEventMask = std::uint32_t;
inline constexpr TSerEventMask kEvRxChar = 0x0001;
inline constexpr TSerEventMask kEvRxFlag = 0x0002;
inline constexpr TSerEventMask kEvTxEmpty = 0x0004;
inline constexpr TSerEventMask kEvCts = 0x0008;
inline constexpr TSerEventMask kEvDsr = 0x0010;
inline constexpr TSerEventMask kEvRlsd = 0x0020;
inline constexpr TSerEventMask kEvBreak = 0x0040;
inline constexpr TSerEventMask kEvErr = 0x0080;
inline constexpr TSerEventMask kEvRing = 0x0100;
inline constexpr TSerEventMask kEvPErr = 0x0200;
inline constexpr TSerEventMask kEvRx80Full = 0x0400;
inline constexpr TSerEventMask kEvEvent1 = 0x0800;
inline constexpr TSerEventMask kEvEvent2 = 0x1000;

// A line event the component can watch; the value is its event bit.
enum class TSerCommEvent : TSerEventMask {
    ceBreak = kEvBreak,
    ceCts = kEvCts,
    ceDsr = kEvDsr,
    ceError = kEvErr,
    ceRing = kEvRing,
    ceRlsd = kEvRlsd,
    ceRxChar = kEvRxChar,
    ceTxEmpty = kEvTxEmpty,
    ceRxFlag = kEvRxFlag,
    cePErr = kEvPErr,
    ceRx80Full = kEvRx80Full,
    ceEvent1 = kEvEvent1,
    ceEvent2 = kEvEvent2
};
using enum TSerCommEvent;

// A set of line events, held as the union of their event bits.
class TSerCommEvents {
public:
    constexpr TSerCommEvents() = default;
    constexpr TSerCommEvents(std::initializer_list<TSerCommEvent> events) {
        for (TSerCommEvent event : events) {
            Include(event);
        }
    }

    constexpr void Include(TSerCommEvent event) { mask_ |= static_cast<TSerEventMask>(event); }
    constexpr void Exclude(TSerCommEvent event) { mask_ &= ~static_cast<TSerEventMask>(event); }
    constexpr bool Contains(TSerCommEvent event) const {
        return (mask_ & static_cast<TSerEventMask>(event)) != 0;
    }
    constexpr TSerEventMask Mask() const { return mask_; }

    friend constexpr bool operator==(TSerCommEvents, TSerCommEvents) = default;

private:
    TSerEventMask mask_ = 0;
};

// Bit rate in bit/s of a baud-rate member.
int BitRate(TSerBaudrate baudrate);
// Number of data bits of a data-bits member.
int DataBitCount(TSerDatabits databits);

}  // namespace ser

#include "serial/platform/posix_line_settings.h"

#include <array>
#include <utility>

namespace ser::platform {

namespace {

bool SpeedOf(int bitRate, speed_t& speed) {
    static const std::array<std::pair<int, speed_t>, 10> kSpeeds = {{{110, B110},
                                                                     {300, B300},
                                                                     {600, B600},
                                                                     {1200, B1200},
                                                                     {2400, B2400},
                                                                     {4800, B4800},
                                                                     {9600, B9600},
                                                                     {19200, B19200},
                                                                     {38400, B38400},
                                                                     {57600, B57600}}};
    for (const auto& [rate, constant] : kSpeeds) {
        if (rate == bitRate) {
            speed = constant;
            return true;
        }
    }
#ifdef B115200
    if (bitRate == 115200) {
        speed = B115200;
        return true;
    }
#endif
    return false;
}

bool CharacterSizeOf(int dataBits, tcflag_t& size) {
    switch (dataBits) {
        case 5:
            size = CS5;
            return true;
        case 6:
            size = CS6;
            return true;
        case 7:
            size = CS7;
            return true;
        case 8:
            size = CS8;
            return true;
        default:
            return false;
    }
}

bool ParityOf(TSerParity parity, tcflag_t& flags) {
    switch (parity) {
        case paNone:
            flags = 0;
            return true;
        case paOdd:
            flags = PARENB | PARODD;
            return true;
        case paEven:
            flags = PARENB;
            return true;
#ifdef CMSPAR
        case paMark:
            flags = PARENB | PARODD | CMSPAR;
            return true;
        case paSpace:
            flags = PARENB | CMSPAR;
            return true;
#endif
        default:
            return false;
    }
}

}  // namespace

bool ToTermios(const LineSettings& settings, termios& tio) {
    speed_t speed = B0;
    tcflag_t size = 0;
    tcflag_t parity = 0;
    if (!SpeedOf(settings.bitRate, speed) || !CharacterSizeOf(settings.dataBits, size) ||
        !ParityOf(settings.parity, parity)) {
        return false;
    }
    const bool ctsFlow = settings.outCtsFlow || settings.controlRts == rtsHandshake;
#ifndef CRTSCTS
    if (ctsFlow) {
        return false;
    }
#endif

    cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB);
#ifdef CMSPAR
    tio.c_cflag &= ~static_cast<tcflag_t>(CMSPAR);
#endif
#ifdef CRTSCTS
    tio.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    if (ctsFlow) {
        tio.c_cflag |= CRTSCTS;
    }
#endif
    tio.c_cflag |= CLOCAL | CREAD | size | parity;
    // UARTs send 1.5 stop bits when asked for two at five data bits, the one size where 1.5
    // exists.
    if (settings.stopbits != sb1) {
        tio.c_cflag |= CSTOPB;
    }

    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    if (settings.xonXoffOut) {
        tio.c_iflag |= IXON;
    }
    if (settings.xonXoffIn) {
        tio.c_iflag |= IXOFF;
    }
    tio.c_cc[VSTART] = settings.xonChar;
    tio.c_cc[VSTOP] = settings.xoffChar;
    // DSR flow, DSR sensitivity, DTR handshake, RTS toggle and the XON/XOFF limits have no
    // termios equivalent; the kernel keeps its own thresholds.

    // Non-blocking descriptor and VMIN = VTIME = 0: a read returns what is there at once.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    return cfsetispeed(&tio, speed) == 0 && cfsetospeed(&tio, speed) == 0;
}

}  // namespace ser::platform

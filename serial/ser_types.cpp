#include "serial/ser_types.h"

#include <array>

namespace ser {

int BitRate(TSerBaudrate baudrate) {
    static constexpr std::array<int, 15> kRates = {110,   300,   600,    1200,   2400,
                                                   4800,  9600,  14400,  19200,  38400,
                                                   56000, 57600, 115200, 128000, 256000};
    return kRates.at(static_cast<std::size_t>(baudrate));
}

int DataBitCount(TSerDatabits databits) {
    return 4 + static_cast<int>(databits);
}

}  // namespace ser

#include "pseudo_terminal.h"

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include <fcntl.h>
#include <termios.h>

namespace sim {

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        throw std::system_error(errno, std::generic_category(), what);
    }
}

}  // namespace

PseudoTerminal::PseudoTerminal() : master_(::posix_openpt(O_RDWR | O_NOCTTY)) {
    Check(master_.Valid(), "posix_openpt");
    const int fd = master_.Get();
    // posix_openpt takes no O_CLOEXEC or O_NONBLOCK everywhere; set them afterwards.
    Check(::fcntl(fd, F_SETFD, FD_CLOEXEC) == 0, "fcntl");
    Check(::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) == 0, "fcntl");
    Check(::grantpt(fd) == 0, "grantpt");
    Check(::unlockpt(fd) == 0, "unlockpt");
    const char* name =
        ::ptsname(fd);  // the simulator runs one thread, so the static buffer is safe
    Check(name != nullptr, "ptsname");
    slavePath_ = name;

    // Terminal settings given through the master apply to the pair: no echo, no line editing, no
    // translation of bytes in either direction.
    termios settings{};
    Check(::tcgetattr(fd, &settings) == 0, "tcgetattr");
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, B9600);
    ::cfsetospeed(&settings, B9600);
    Check(::tcsetattr(fd, TCSANOW, &settings) == 0, "tcsetattr");

    slaveHolder_ = UniqueFd(::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    Check(slaveHolder_.Valid(), "open slave");
}

}  // namespace sim

#include "slave_link.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace sim {

namespace {

std::string ReadLink(const std::string& path) {
    std::array<char, 4096> buffer{};
    const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
    return length < 0 ? std::string()
                      : std::string(buffer.data(), static_cast<std::size_t>(length));
}

}  // namespace

SlaveLink::~SlaveLink() {
    if (!target_.empty() && ReadLink(path_) == target_) {
        ::unlink(path_.c_str());
    }
}

void SlaveLink::PointAt(const std::string& target) {
    struct stat existing {};
    if (::lstat(path_.c_str(), &existing) == 0 && !S_ISLNK(existing.st_mode)) {
        throw std::system_error(EEXIST, std::generic_category(),
                                path_ + " exists and is no symbolic link");
    }
    // A new link under a temporary name renamed over the old one: whoever opens the path finds
    // either the old slave or the new one, never nothing.
    const std::string temporary = path_ + ".tmp" + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::symlink(target.c_str(), temporary.c_str()) != 0) {
        throw std::system_error(errno, std::generic_category(), "symlink " + temporary);
    }
    if (::rename(temporary.c_str(), path_.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw std::system_error(error, std::generic_category(), "rename to " + path_);
    }
    target_ = target;
}

}  // namespace sim

#pragma once
// A symbolic link that names the present slave, the way a re-plugged modem appears again under the
// same name. It is re-pointed atomically, refuses to replace anything but a symbolic link, and is
// removed at the end if it still points where it was left.

#include <string>

namespace sim {

class SlaveLink {
public:
    explicit SlaveLink(std::string path) : path_(std::move(path)) {}
    SlaveLink(const SlaveLink&) = delete;
    SlaveLink& operator=(const SlaveLink&) = delete;
    ~SlaveLink();

    // Throws std::system_error.
    void PointAt(const std::string& target);

private:
    std::string path_;
    std::string target_;
};

}  // namespace sim

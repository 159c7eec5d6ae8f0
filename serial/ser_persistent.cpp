#include "serial/ser_persistent.h"

#include <stdexcept>

namespace ser {

void TSerPersistent::BeginUpdate() {
    Changing();
    ++updateCount_;
}

void TSerPersistent::EndUpdate() {
    --updateCount_;
    Changed();
}

void TSerPersistent::Changing() {
    if (updateCount_ == 0 && hooks_.changing) {
        hooks_.changing();
    }
}

void TSerPersistent::Changed() {
    if (updateCount_ == 0 && hooks_.changed) {
        hooks_.changed();
    }
}

int TSerBuffers::Checked(int value) {
    if (value < 0) {
        throw std::out_of_range("Buffer settings cannot be negative");
    }
    return value;
}

}  // namespace ser

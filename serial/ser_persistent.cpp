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
    if (updateCount_ == 0 && hooks_.Changing) {
        hooks_.Changing();
    }
}

void TSerPersistent::Changed() {
    if (updateCount_ == 0 && hooks_.Changed) {
        hooks_.Changed();
    }
}

int TSerBuffers::Checked(int value) {
    if (value < 0) {
        throw std::out_of_range("Buffer settings cannot be negative");
    }
    return value;
}

}  // namespace ser

#include "ui/timer.h"

#include "ui/application_error.h"

TTimer::TTimer(const QString& name, QObject* parent) : QObject(parent) {
    setObjectName(name);
    // Precise timers keep the registration tick from drifting by the coarse timer's slack.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (OnTimer) {
            Guarded(OnTimer);
        }
    });
}

void TTimer::SetInterval(int milliseconds) {
    if (milliseconds == interval_) {
        return;
    }
    interval_ = milliseconds;
    Restart();
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) {
        return;
    }
    enabled_ = enabled;
    Restart();
}

void TTimer::Restart() {
    timer_.stop();
    if (enabled_ && interval_ > 0) {
        timer_.start(interval_);
    }
}

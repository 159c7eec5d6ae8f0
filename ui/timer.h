#pragma once
// A message-driven timer with the rule the program's handlers rely on: giving the timer the
// interval or the enabled state it already has changes nothing (a running countdown goes on),
// while disabling and enabling it starts a fresh interval. QTimer::start() would restart a
// running countdown, so this class decides when to call it.

#include <QObject>
#include <QTimer>
#include <functional>

class TTimer : public QObject {
    Q_OBJECT
public:
    explicit TTimer(const QString& name, QObject* parent = nullptr);

    int Interval() const { return interval_; }
    void SetInterval(int milliseconds);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Milliseconds to the next expiry; -1 while disabled.
    int RemainingTime() const { return timer_.remainingTime(); }

    // The expiry handler; runs on the user-interface thread every interval while enabled.
    std::function<void()> OnTimer;

private:
    void Restart();

    QTimer timer_;
    int interval_ = 1000;
    bool enabled_ = false;
};

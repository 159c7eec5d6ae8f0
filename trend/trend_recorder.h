#pragma once
// Keeps the trend of the registration runs from what the decoders and time-outs report, each
// reading stamped with the workstation's clock, and tells the window when it changed. A slot is the
// transmitter at its poll address; answers from other addresses belong to no slot.

#include <QObject>
#include <functional>

#include "commands/registration_reading_sink.h"
#include "trend/trend_history.h"

namespace trend {

class TrendRecorder : public QObject, public commands::RegistrationReadingSink {
    Q_OBJECT
public:
    using Clock = std::function<Milliseconds()>;

    // `clock` stamps the readings; the workstation's clock unless given.
    explicit TrendRecorder(Clock clock = {}, QObject* parent = nullptr);

    const TrendHistory& History() const { return history_; }

    // A new run starts a new trend.
    void RegistrationStarted() override;
    // A reading is kept; an answer that cannot be trusted breaks the slot's line.
    void RegistrationReading(std::uint8_t address, std::uint8_t command,
                             std::span<const float> values,
                             std::span<const std::uint8_t> units) override;
    // Silence breaks the slot's line.
    void RegistrationSilent(int slot) override;

signals:
    void Restarted();
    void Changed();

private:
    Clock clock_;
    TrendHistory history_;
};

}  // namespace trend

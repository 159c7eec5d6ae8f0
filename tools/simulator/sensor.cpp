#include "sensor.h"

#include <cmath>
#include <numbers>

namespace sim {

namespace {

double Wave(double seconds, double period, double phase) {
    return std::sin(2.0 * std::numbers::pi * seconds / period + phase);
}

}  // namespace

Sensor::Sensor(unsigned variant) : period_(240.0 + 30.0 * variant), phase_(0.9 * variant) {}

double Sensor::Load(double seconds) const {
    // A slow swing and a faint ripple, so that two readings a moment apart still differ.
    return 0.5 + 0.3 * Wave(seconds, period_, phase_) + 0.002 * Wave(seconds, 5.3, phase_);
}

double Sensor::PressureKpa(double seconds) const {
    return kSpanKpa * Load(seconds);
}

double Sensor::UmCode(double seconds) const {
    return std::round(8000.0 + 48000.0 * Load(seconds));
}

double Sensor::UdifCode(double seconds) const {
    return std::round(1500.0 + 600.0 * Load(seconds) + 25.0 * Wave(seconds, 37.0, phase_));
}

double Sensor::ElectronicsCelsius(double seconds) const {
    return 25.0 + 3.0 * Wave(seconds, 600.0, phase_);
}

double Sensor::GaugeCelsius(double seconds) const {
    return ElectronicsCelsius(seconds) - 1.5 + 0.5 * Wave(seconds, 410.0, phase_);
}

}  // namespace sim

#pragma once
// The physical side of a transmitter: the pressure on its membrane, the raw converter codes and
// two temperatures, all drifting slowly, each transmitter in its own way.

namespace sim {

class Sensor {
public:
    // Nominal span of the membrane: 0 to 1,6 kgf/cm2.
    static constexpr double kSpanKpa = 1.6 * 98.0665;

    // `variant` makes one transmitter drift differently from the next.
    explicit Sensor(unsigned variant);

    // Times are seconds since the simulator started.
    double PressureKpa(double seconds) const;
    double UmCode(double seconds) const;
    double UdifCode(double seconds) const;
    double ElectronicsCelsius(double seconds) const;
    double GaugeCelsius(double seconds) const;

private:
    // Share of the nominal span, between 0,2 and 0,8.
    double Load(double seconds) const;

    double period_;
    double phase_;
};

}  // namespace sim

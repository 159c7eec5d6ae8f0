// tensovia-sim: a bank of HART pressure transmitters behind a pseudo-terminal. See --help.

#include <cstdio>
#include <exception>
#include <stdexcept>
#include <system_error>

#include "options.h"
#include "simulator.h"
#include "termination_signals.h"

int main(int argc, char** argv) {
    sim::Options options;
    try {
        options = sim::ParseOptions(argc, argv);
    } catch (const std::invalid_argument& error) {
        std::fprintf(stderr, "tensovia-sim: %s\n", error.what());
        return 2;
    }
    if (options.help) {
        std::fputs(sim::HelpText().c_str(), stdout);
        return 0;
    }
    try {
        const sim::TerminationSignals signals;
        sim::Simulator simulator(options, signals);
        simulator.Run();
    } catch (const std::invalid_argument& error) {
        std::fprintf(stderr, "tensovia-sim: %s\n", error.what());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tensovia-sim: %s\n", error.what());
        return 1;
    }
    return 0;
}

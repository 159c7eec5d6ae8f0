#include "options.h"

#include <limits>
#include <stdexcept>
#include <string_view>

#include "control.h"

namespace sim {

namespace {

class Arguments {
public:
    Arguments(int argc, const char* const* argv) : argc_(argc), argv_(argv) {}

    bool AtEnd() const { return next_ >= argc_; }
    bool NextIsValue() const {
        return !AtEnd() && std::string_view(argv_[next_]).substr(0, 2) != "--";
    }
    std::string Take() { return argv_[next_++]; }
    std::string TakeValue(std::string_view option) {
        if (!NextIsValue()) {
            throw std::invalid_argument(std::string(option) + " needs a value");
        }
        return Take();
    }

private:
    int argc_;
    const char* const* argv_;
    int next_ = 1;
};

}  // namespace

Options ParseOptions(int argc, const char* const* argv) {
    Options options;
    Arguments arguments(argc, argv);
    while (!arguments.AtEnd()) {
        const std::string option = arguments.Take();
        if (option == "--help" || option == "-h") {
            options.help = true;
        } else if (option == "--addresses") {
            options.addresses = ParseAddressSet(arguments.TakeValue(option));
        } else if (option == "--link") {
            options.linkPath = arguments.TakeValue(option);
        } else if (option == "--log") {
            options.logPath = arguments.TakeValue(option);
        } else if (option == "--pace") {
            options.pace = true;
        } else if (option == "--seed") {
            options.seed = static_cast<unsigned>(ParseNumber(
                arguments.TakeValue(option), std::numeric_limits<unsigned>::max(), "seed"));
        } else if (option.starts_with("--") && IsSwitch(option.substr(2))) {
            std::vector<std::string> words = {option.substr(2)};
            const std::size_t most = MaxSwitchWords(words[0]);
            while (words.size() <= most && arguments.NextIsValue()) {
                words.push_back(arguments.Take());
            }
            options.switches.push_back(std::move(words));
        } else {
            throw std::invalid_argument("unknown option '" + option + "' (see --help)");
        }
    }
    return options;
}

std::string HelpText() {
    return R"(Usage: tensovia-sim [OPTIONS]

Simulates a bank of HART pressure transmitters behind a pseudo-terminal. The first line on the
standard output names the slave side for the program to open:
  slave: /dev/pts/N

Options:
  --addresses SET      poll addresses with a transmitter: 0-10 (default), 1-10, 0,3,7
  --link PATH          also make PATH a symbolic link to the slave, re-pointed on each replug
                       and removed at the end (an existing file that is no link is left alone)
  --log FILE           log every frame received and every answer sent to FILE ("-": standard
                       error): milliseconds since start, a tag, the bytes in decimal. Tags: rx,
                       rx-badsum, rx-other-addressing, rx-garbage, rx-incomplete, tx, noise,
                       drop, control, plug, unplug
  --pace               send answers at the speed of the line, about 1,04 ms a byte at 9600 bit/s
  --seed N             seed of the random garbage and noise bytes
  --SWITCH ADDRESSES [ARGUMENTS]
                       start with a misbehaviour switched on, as the control line would
  --help               this text

Control lines on the standard input (ADDRESSES as for --addresses). Each accepted line is
confirmed on the standard output with "ok " and the line, a refused one with "error: " and the
reason. Switches add up until "normal". The end of the standard input does not end the simulator.
)" + ControlHelp() +
           R"(  replug [MS]                     close the pseudo-terminal (the program sees a hang-up),
                                  wait MS milliseconds (default 1000), open a new one, re-point
                                  the link and print the new "slave:" line
  quit                            end; SIGTERM and SIGINT do the same

Transmitters answer requests framed as preambles (two or more 255s), 130, 255 255 255 255, the
poll address, command, byte count, data, checksum; a request with a wrong checksum is ignored.
Commands: 1, 3, 6, 33, 34, 35, 36, 37, 40, 44; others are answered with response code 64. What
is written (poll address, damping, range, units, fixed current, zero and range correction) is
kept until the simulator ends; the switches follow the poll address, not the transmitter.
)";
}

}  // namespace sim

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

// Applies `change` to the identities of a set of addresses.
template <typename Change>
void ForEach(const AddressSet& addresses, IdentityTable& identities, Change change) {
    for (std::size_t address = 0; address < identities.size(); ++address) {
        if (addresses.test(address)) {
            change(identities[address]);
        }
    }
}

void ParseIdentity(Arguments& arguments, IdentityTable& identities) {
    constexpr std::string_view kOption = "--identity";
    const auto address = ParseNumber(arguments.TakeValue(kOption), 255, "address");
    Identity& identity = identities[address];
    identity.manufacturer = static_cast<std::uint16_t>(
        ParseCode(arguments.TakeValue(kOption), 0xFFFF, "manufacturer code"));
    identity.deviceType =
        static_cast<std::uint16_t>(ParseCode(arguments.TakeValue(kOption), 0xFFFF, "device type"));
    identity.deviceId = static_cast<std::uint32_t>(
        ParseCode(arguments.TakeValue(kOption), kMaxDeviceId, "device ID"));
    identity.tag = arguments.TakeValue(kOption);
}

void ParseHartRevision(Arguments& arguments, IdentityTable& identities) {
    constexpr std::string_view kOption = "--hart-revision";
    const AddressSet addresses = ParseAddressSet(arguments.TakeValue(kOption));
    const auto revision = static_cast<unsigned>(
        ParseNumber(arguments.TakeValue(kOption), kHartRevision7, "HART revision"));
    if (revision != kHartRevision5 && revision != kHartRevision7) {
        throw std::invalid_argument("a HART revision is 5 or 7");
    }
    ForEach(addresses, identities, [revision](Identity& i) { i.hartRevision = revision; });
}

void ParsePreambles(Arguments& arguments, IdentityTable& identities) {
    constexpr std::string_view kOption = "--preambles";
    const AddressSet addresses = ParseAddressSet(arguments.TakeValue(kOption));
    const auto preambles =
        ParseNumber(arguments.TakeValue(kOption), kMaxAnswerPreambles, "number of preambles");
    if (preambles < kMinAnswerPreambles) {
        throw std::invalid_argument("a number of preambles is 2 to 20");
    }
    ForEach(addresses, identities, [preambles](Identity& i) { i.preambles = preambles; });
}

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
        } else if (option == "--identity") {
            ParseIdentity(arguments, options.identities);
        } else if (option == "--hart-revision") {
            ParseHartRevision(arguments, options.identities);
        } else if (option == "--preambles") {
            ParsePreambles(arguments, options.identities);
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
    // Checked at the end, as the revision may be given after the identity.
    for (std::size_t address = 0; address < options.identities.size(); ++address) {
        try {
            CheckIdentity(options.identities[address]);
        } catch (const std::invalid_argument& error) {
            throw std::invalid_argument("address " + std::to_string(address) + ": " + error.what());
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
  --identity ADDRESS MANUFACTURER DEVICE_TYPE DEVICE_ID TAG
                       what the transmitter at ADDRESS tells in commands 0 and 13, and so its
                       unique address. Numbers in decimal or in hexadecimal after 0x: the
                       manufacturer code and device type 0 to 255 (0 to 65535 under HART
                       revision 7, the device type then being the expanded device type), the
                       device ID 0 to 0xFFFFFF; the tag up to 8 characters from ' ' to '_'.
                       Default: manufacturer 0xFA, device type 1, device ID 0x100000 plus the
                       address, tag PT-ADDRESS (descriptor TRANSMITTER ADDRESS, date day
                       1 + ADDRESS % 28, month 1 + ADDRESS % 12, 2024)
  --hart-revision ADDRESSES 5|7
                       the layout of the answer to command 0: 12 data bytes under 5 (the
                       default), 22 under 7
  --preambles ADDRESSES N
                       preambles before each answer to a standard frame, 2 to 20 (default 5);
                       command 0 asks the master for as many
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
The answer (three preambles, 134) echoes the address, and its byte count leaves out the two
status bytes. Commands: 0, 1, 3, 6, 13, 33, 34, 35, 36, 37, 40, 44; others are answered with
response code 64. What is written (poll address, damping, range, units, fixed current, zero and
range correction) is kept until the simulator ends; the switches follow the poll address, not
the transmitter.

They also answer the standard frames of a primary master, in which the byte count of an answer
includes the status bytes: a short frame (2, then 128 plus the poll address 0 to 63) carrying
command 0, answered with 6 and the address byte; a long frame (130, then the unique address
with 128 added to its first byte) carrying any command, answered with 134 and the five address
bytes. A long frame to a unique address that no transmitter has is ignored.
)";
}

}  // namespace sim

#include "control.h"

#include <algorithm>
#include <bitset>
#include <functional>
#include <stdexcept>

#include "text_parsing.h"

namespace sim {

namespace {

using Words = std::span<const std::string>;
using Change = std::function<void(Faults&)>;

constexpr unsigned long kMaxDelayMs = 600000;
constexpr unsigned long kDefaultOversize = 47;
// A byte takes about 1,04 ms at 9600 bit/s, so the line carries no more than this.
constexpr unsigned long kMaxNoisePerSecond = 960;
constexpr Millis kDefaultReplugPause{1000};

struct Switch {
    std::string_view name;
    std::string_view arguments;
    std::string_view meaning;
    std::size_t minWords;  // after the addresses
    std::size_t maxWords;
    Change (*parse)(Words rest);  // reads the words first, so a bad one changes nothing
};

Millis ParseMillis(const std::string& text) {
    return Millis(ParseNumber(text, kMaxDelayMs, "time in ms"));
}

const Switch kSwitches[] = {
    {"silent", "", "never answer", 0, 0,
     [](Words) -> Change { return [](Faults& f) { f.silent = true; }; }},
    {"late", "MS", "answer MS milliseconds late", 1, 1,
     [](Words rest) -> Change {
         const Millis late = ParseMillis(rest[0]);
         return [late](Faults& f) { f.late = late; };
     }},
    {"badsum", "", "answer with a wrong checksum", 0, 0,
     [](Words) -> Change { return [](Faults& f) { f.badChecksum = true; }; }},
    {"split", "SIZES MS", "send the answer in pieces of SIZES (8,2,9) with MS between", 2, 2,
     [](Words rest) -> Change {
         const std::vector<std::size_t> sizes = ParseSizes(rest[0]);
         const Millis pause = ParseMillis(rest[1]);
         return [sizes, pause](Faults& f) {
             f.pieces = sizes;
             f.piecePause = pause;
         };
     }},
    {"garbage", "N|BYTES", "send N random bytes, or BYTES (1,2,3; one: 7,), first", 1, 1,
     [](Words rest) -> Change {
         const bool given = rest[0].find(',') != std::string::npos;
         const Bytes bytes = given ? ParseByteList(rest[0]) : Bytes{};
         const std::size_t count = given ? 0 : ParseNumber(rest[0], 255, "byte count");
         return [bytes, count](Faults& f) {
             f.garbage = bytes;
             f.randomGarbage = count;
         };
     }},
    {"oversize", "[COUNT]", "claim byte count COUNT (47 to 255, default 47), send as many", 0, 1,
     [](Words rest) -> Change {
         const unsigned long count =
             rest.empty() ? kDefaultOversize : ParseNumber(rest[0], 255, "byte count");
         if (count < kDefaultOversize) {
             throw std::invalid_argument("an oversize byte count is 47 to 255");
         }
         return [count](Faults& f) { f.oversize = static_cast<std::uint8_t>(count); };
     }},
    {"answer-as", "ADDRESS", "put ADDRESS into the last address byte of the answer", 1, 1,
     [](Words rest) -> Change {
         const auto address = static_cast<std::uint8_t>(ParseNumber(rest[0], 255, "address"));
         return [address](Faults& f) { f.answerAs = address; };
     }},
    {"noise", "RATE", "send RATE random bytes a second between answers (0 stops)", 1, 1,
     [](Words rest) -> Change {
         const auto rate =
             static_cast<unsigned>(ParseNumber(rest[0], kMaxNoisePerSecond, "byte rate"));
         return [rate](Faults& f) { f.noisePerSecond = rate; };
     }},
    {"refuse", "COMMANDS", "answer COMMANDS (13, or 0,13) with response code 64", 1, 1,
     [](Words rest) -> Change {
         std::bitset<256> commands;
         for (const std::uint8_t command : ParseByteList(rest[0])) {
             commands.set(command);
         }
         return [commands](Faults& f) { f.refused = commands; };
     }},
    {"twice", "", "send every answer twice", 0, 0,
     [](Words) -> Change { return [](Faults& f) { f.twice = true; }; }},
    {"normal", "", "clear every switch", 0, 0,
     [](Words) -> Change { return [](Faults& f) { f = Faults{}; }; }},
};

const Switch* FindSwitch(std::string_view name) {
    const auto found = std::find_if(std::begin(kSwitches), std::end(kSwitches),
                                    [name](const Switch& s) { return s.name == name; });
    return found == std::end(kSwitches) ? nullptr : found;
}

std::string Usage(const Switch& s) {
    std::string usage = std::string(s.name) + " ADDRESSES";
    if (!s.arguments.empty()) {
        usage.append(" ").append(s.arguments);
    }
    return usage;
}

}  // namespace

ControlOutcome ApplyControl(std::span<const std::string> words, FaultTable& faults) {
    if (words.empty()) {
        throw std::invalid_argument("empty command");
    }
    if (words[0] == "quit" && words.size() == 1) {
        return {std::nullopt, true};
    }
    if (words[0] == "replug" && words.size() <= 2) {
        return {words.size() == 2 ? ParseMillis(words[1]) : kDefaultReplugPause, false};
    }
    const Switch* entry = FindSwitch(words[0]);
    if (entry == nullptr) {
        throw std::invalid_argument("unknown command '" + words[0] + "'");
    }
    if (words.size() < 2 + entry->minWords || words.size() > 2 + entry->maxWords) {
        throw std::invalid_argument("usage: " + Usage(*entry));
    }
    const AddressSet addresses = ParseAddressSet(words[1]);
    const Change change = entry->parse(words.subspan(2));
    for (std::size_t address = 0; address < faults.size(); ++address) {
        if (addresses.test(address)) {
            change(faults[address]);
        }
    }
    return {};
}

bool IsSwitch(std::string_view name) {
    return FindSwitch(name) != nullptr;
}

std::size_t MaxSwitchWords(std::string_view name) {
    const Switch* entry = FindSwitch(name);
    return entry == nullptr ? 0 : 1 + entry->maxWords;
}

std::string ControlHelp() {
    std::string help;
    for (const Switch& s : kSwitches) {
        std::string usage = Usage(s);
        usage.resize(std::max<std::size_t>(usage.size() + 2, 32), ' ');
        help += "  " + usage + std::string(s.meaning) + "\n";
    }
    return help;
}

}  // namespace sim

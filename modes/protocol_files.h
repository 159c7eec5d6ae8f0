#pragma once
// The protocol files of the registration slots: one text file per transmitter address 1..10, in
// Windows-1251 with CR LF line ends, each line on disk as soon as it is complete.

#include <QString>
#include <array>
#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>

#include "commands/protocol_sink.h"
#include "hart/program_state.h"

namespace modes {

// A protocol file that cannot be created, written or closed.
class EInOutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ProtocolFiles : public commands::ProtocolSink {
public:
    // `reportLater` hands a write failure to the operator once the current event is handled, so
    // that a full disk never interrupts the decoding of an answer.
    explicit ProtocolFiles(std::function<void(std::exception_ptr)> reportLater)
        : reportLater_(std::move(reportLater)) {}
    ~ProtocolFiles() override;

    // The file name of slot `slot` for the chosen path: its last four characters dropped, then
    // "_", the slot number and ".txt".
    static QString SlotFileName(const QString& chosenPath, int slot);

    // Creates (or replaces) the empty file of `slot`. Throws EInOutError.
    void Create(int slot, const QString& fileName);
    // Flushes and closes every open file. Throws EInOutError after closing all when one failed.
    void CloseAll();
    bool IsOpen(int slot) const;

    // Pieces for an address without an open file are skipped.
    void ProtocolWrite(std::uint8_t address, const QString& text) override;
    void ProtocolEndLine(std::uint8_t address) override;

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    struct SlotFile {
        std::unique_ptr<std::FILE, FileCloser> file;
        QString name;
        bool failed = false;  // reported once until a line reaches the disk again
    };

    SlotFile* OpenFile(std::uint8_t address);
    void Append(SlotFile& slot, const std::string& bytes, bool flush);

    std::array<SlotFile, hart::kSlotCount + 1> files_;
    std::function<void(std::exception_ptr)> reportLater_;
};

}  // namespace modes

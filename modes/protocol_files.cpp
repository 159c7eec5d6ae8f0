#include "modes/protocol_files.h"

#include <QDateTime>
#include <QFile>
#include <cerrno>
#include <cstring>

#include "hart/time_text.h"
#include "modes/windows_1251.h"

namespace modes {
namespace {

std::string ErrorText(const char* action, const QString& fileName, int error) {
    return std::string(action) + " \"" + fileName.toStdString() + "\": " + std::strerror(error);
}

}  // namespace

ProtocolFiles::~ProtocolFiles() {
    try {
        CloseAll();
    } catch (...) {
        // At exit there is nobody left to tell; the files are closed all the same.
    }
}

QString ProtocolFiles::SlotFileName(const QString& chosenPath, int slot) {
    return chosenPath.chopped(std::min<qsizetype>(4, chosenPath.size())) + u'_' +
           QString::number(slot) + QStringLiteral(".txt");
}

void ProtocolFiles::Create(int slot, const QString& fileName) {
    SlotFile& target = files_[slot];
    target.file.reset();
    // Binary mode: the CR LF line ends are written as they are, on every platform.
    std::FILE* file = std::fopen(QFile::encodeName(fileName).constData(), "wb");
    if (!file) {
        throw EInOutError(ErrorText("Cannot create file", fileName, errno));
    }
    target.file.reset(file);
    target.name = fileName;
    target.failed = false;
}

void ProtocolFiles::CloseAll() {
    std::string firstError;
    for (SlotFile& slot : files_) {
        if (!slot.file) {
            continue;
        }
        int error = 0;
        if (std::fflush(slot.file.get()) != 0) {
            error = errno;
        }
        if (std::fclose(slot.file.release()) != 0 && error == 0) {
            error = errno;
        }
        if (error != 0 && firstError.empty()) {
            firstError = ErrorText("Cannot close file", slot.name, error);
        }
    }
    if (!firstError.empty()) {
        throw EInOutError(firstError);
    }
}

bool ProtocolFiles::IsOpen(int slot) const {
    return slot >= 1 && slot <= hart::kSlotCount && files_[slot].file != nullptr;
}

ProtocolFiles::SlotFile* ProtocolFiles::OpenFile(std::uint8_t address) {
    return IsOpen(address) ? &files_[address] : nullptr;
}

void ProtocolFiles::ProtocolWrite(std::uint8_t address, const QString& text) {
    if (SlotFile* slot = OpenFile(address)) {
        Append(*slot, ToWindows1251(text), false);
    }
}

void ProtocolFiles::ProtocolEndLine(std::uint8_t address) {
    if (SlotFile* slot = OpenFile(address)) {
        const QDateTime now = QDateTime::currentDateTime();
        const QString end = u' ' + ShortDateText(now) + u' ' + LongTimeText(now);
        Append(*slot, ToWindows1251(end) + "\r\n", true);
    }
}

void ProtocolFiles::Append(SlotFile& slot, const std::string& bytes, bool flush) {
    std::FILE* file = slot.file.get();
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    // Each complete line goes to disk at once, so a line is never lost to a later failure.
    if (ok && flush) {
        ok = std::fflush(file) == 0;
    }
    if (ok) {
        // Only a line that reached the disk shows the file works again.
        if (flush) {
            slot.failed = false;
        }
        return;
    }
    const int error = errno;
    std::clearerr(file);
    if (!slot.failed) {
        slot.failed = true;
        reportLater_(
            std::make_exception_ptr(EInOutError(ErrorText("Cannot write file", slot.name, error))));
    }
}

}  // namespace modes

#include "modes/windows_1251.h"

#include <windows.h>

namespace modes {

std::string ToWindows1251(const QString& text) {
    const std::wstring wide = text.toStdWString();
    if (wide.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(1251, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, "?", nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(1251, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size, "?",
                        nullptr);
    return out;
}

}  // namespace modes

#include "modes/windows_1251.h"

#include <iconv.h>

#include <cerrno>
#include <memory>
#include <stdexcept>

namespace modes {
namespace {

struct IconvCloser {
    void operator()(iconv_t descriptor) const { iconv_close(descriptor); }
};
using Converter = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

Converter OpenConverter() {
    iconv_t descriptor = iconv_open("WINDOWS-1251", "UTF-8");
    if (descriptor == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error("The Windows-1251 converter is not available");
    }
    return Converter(descriptor);
}

}  // namespace

std::string ToWindows1251(const QString& text) {
    // One converter per thread: iconv descriptors carry state and are not shared.
    thread_local const Converter converter = OpenConverter();
    QByteArray utf8 = text.toUtf8();
    char* in = utf8.data();
    std::size_t inLeft = static_cast<std::size_t>(utf8.size());
    std::string out(inLeft, '\0');  // never longer than its UTF-8 form
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(converter.get(), &in, &inLeft, &outPtr, &outLeft) !=
            static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno != EILSEQ && errno != EINVAL) {
            throw std::runtime_error("Windows-1251 conversion failed");
        }
        // A character the code page lacks: write "?" and skip its UTF-8 bytes.
        *outPtr++ = '?';
        --outLeft;
        do {
            ++in;
            --inLeft;
        } while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80);
    }
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace modes

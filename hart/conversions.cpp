#include "hart/conversions.h"

#include <limits>

namespace {

[[noreturn]] void ThrowNotAnInteger(const QString& text) {
    throw EConvertError(
        QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
}

}  // namespace

int StrToInt(const QString& text) {
    const QString trimmed = text.trimmed();
    qsizetype pos = 0;
    bool negative = false;
    if (pos < trimmed.size() && (trimmed[pos] == u'-' || trimmed[pos] == u'+')) {
        negative = trimmed[pos] == u'-';
        ++pos;
    }
    if (pos == trimmed.size()) {
        ThrowNotAnInteger(text);
    }
    long long value = 0;
    for (; pos < trimmed.size(); ++pos) {
        const QChar c = trimmed[pos];
        if (c < u'0' || c > u'9') {
            ThrowNotAnInteger(text);
        }
        value = value * 10 + (c.unicode() - u'0');
        if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1) {
            ThrowNotAnInteger(text);
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) {
        ThrowNotAnInteger(text);
    }
    return static_cast<int>(value);
}

void ThrowNotAFloat(const QString& text) {
    throw EConvertError(
        QStringLiteral("'%1' is not a valid floating point value").arg(text).toStdString());
}

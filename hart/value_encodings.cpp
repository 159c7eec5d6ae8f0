#include "hart/value_encodings.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "hart/conversions.h"

namespace hart {
namespace {

constexpr int kSignificantDigits = 7;
constexpr int kFloatDecimals = 7;

// A non-negative decimal number as its significant digits and the count of digits before the
// decimal point: value = 0.digits x 10^integerDigits.
struct Decimal {
    std::string digits;
    int integerDigits = 0;
};

// The exact decimal expansion of |value| (printf prints binary values exactly), far beyond any
// precision shown, so that rounding below is decided on the true digits.
Decimal ExactDigits(double value) {
    char text[96];
    std::snprintf(text, sizeof text, "%.60e", std::fabs(value));
    Decimal d;
    const std::string s(text);
    const auto e = s.find('e');
    d.digits = s.substr(0, 1) + s.substr(2, e - 2);
    d.integerDigits = std::stoi(s.substr(e + 1)) + 1;
    if (value == 0) {
        d.digits.assign(d.digits.size(), '0');
        d.integerDigits = 1;
    }
    return d;
}

// Keeps the first `keep` digits, rounding half away from zero; keep <= 0 rounds at or above the
// first digit.
Decimal RoundTo(Decimal d, int keep) {
    if (keep < 0) {
        return {"", d.integerDigits};
    }
    const bool up = keep < static_cast<int>(d.digits.size()) && d.digits[keep] >= '5';
    d.digits.resize(keep);
    if (up) {
        int i = keep - 1;
        for (; i >= 0 && d.digits[i] == '9'; --i) {
            d.digits[i] = '0';
        }
        if (i >= 0) {
            ++d.digits[i];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.integerDigits;
        }
    }
    return d;
}

bool AllZero(const std::string& digits) {
    return digits.find_first_not_of('0') == std::string::npos;
}

QString ExponentText(double value, int precision) {
    const Decimal d = RoundTo(ExactDigits(value), precision);
    char exponent[16];
    std::snprintf(exponent, sizeof exponent, "E%+03d", d.integerDigits - 1);
    QString text = value < 0 ? QStringLiteral("-") : QString();
    text += QChar(d.digits[0]);
    if (precision > 1) {
        text += u',' + QString::fromLatin1(d.digits.substr(1));
    }
    return text + QString::fromLatin1(exponent);
}

// Fixed notation with `decimals` decimals and at most `precision` significant digits; exponent
// notation once the integer part needs more than `precision` digits.
QString FixedText(double value, int precision, int decimals) {
    if (std::isnan(value)) {
        return QStringLiteral("NAN");
    }
    if (std::isinf(value)) {
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    }
    const Decimal exact = ExactDigits(value);
    if (exact.integerDigits > precision) {
        return ExponentText(value, precision);
    }
    const Decimal d = RoundTo(exact, std::min(precision, exact.integerDigits + decimals));
    if (d.integerDigits > precision) {
        return ExponentText(value, precision);
    }
    // Lay the kept digits out on a grid of integer and decimal places.
    std::string integerPart;
    std::string decimalPart;
    for (int place = std::max(d.integerDigits, 1) - 1; place >= -decimals; --place) {
        const int index = d.integerDigits - 1 - place;
        const char digit =
            index >= 0 && index < static_cast<int>(d.digits.size()) ? d.digits[index] : '0';
        (place >= 0 ? integerPart : decimalPart) += digit;
    }
    QString text = value < 0 && !AllZero(d.digits) ? QStringLiteral("-") : QString();
    text += QString::fromLatin1(integerPart);
    if (decimals > 0) {
        text += u',' + QString::fromLatin1(decimalPart);
    }
    return text;
}

// Reads "[sign]digits[,digits][e[sign]digits]" with at least one mantissa digit.
bool IsNumberText(const QString& text) {
    qsizetype i = 0;
    const auto digitsAt = [&text, &i] {
        const qsizetype start = i;
        while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128) {
            ++i;
        }
        return i - start;
    };
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        ++i;
    }
    qsizetype mantissa = digitsAt();
    if (i < text.size() && text[i] == u',') {
        ++i;
        mantissa += digitsAt();
    }
    if (mantissa == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
            ++i;
        }
        if (digitsAt() == 0) {
            return false;
        }
    }
    return i == text.size();
}

bool HasNegativeExponent(const std::string& text) {
    const auto e = text.find_first_of("eE");
    return e != std::string::npos && e + 1 < text.size() && text[e + 1] == '-';
}

// The single-precision value of a number text with a decimal comma; false when it is no number or
// lies beyond the single-precision range.
bool ParseSingle(const QString& commaText, float& result) {
    const QString trimmed = commaText.trimmed();
    if (!IsNumberText(trimmed)) {
        return false;
    }
    std::string text = trimmed.toStdString();
    for (char& c : text) {
        if (c == ',') {
            c = '.';
        }
    }
    if (!text.empty() && text.front() == '+') {
        text.erase(0, 1);
    }
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, error] = std::from_chars(first, last, result);
    if (error == std::errc{} && end == last) {
        return true;
    }
    // Out of range: a magnitude below the smallest normal rounds to a subnormal or to zero, a
    // magnitude above the largest single is refused.
    double wide = 0;
    const auto [wideEnd, wideError] = std::from_chars(first, last, wide);
    if (wideEnd != last) {
        return false;
    }
    if (wideError != std::errc{}) {
        // Beyond even double range: tiny when the exponent is negative.
        if (!HasNegativeExponent(text)) {
            return false;
        }
        wide = 0;
    }
    if (std::fabs(wide) > std::numeric_limits<float>::max()) {
        return false;
    }
    result = std::copysign(static_cast<float>(wide), text.front() == '-' ? -1.0f : 1.0f);
    return true;
}

}  // namespace

float BytesToFloat(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, std::uint8_t b4) {
    const auto bits = static_cast<std::uint32_t>(b1) << 24 | static_cast<std::uint32_t>(b2) << 16 |
                      static_cast<std::uint32_t>(b3) << 8 | b4;
    return std::bit_cast<float>(bits);
}

QString BytesToFloatText(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, std::uint8_t b4) {
    return FixedText(BytesToFloat(b1, b2, b3, b4), kSignificantDigits, kFloatDecimals);
}

FloatBytes TextToFloatBytes(const QString& text) {
    QString commaText = text;
    const qsizetype point = commaText.indexOf(u'.');
    if (point >= 0) {
        commaText[point] = u',';
    }
    float value = 0;
    if (!ParseSingle(commaText, value)) {
        ThrowNotAFloat(commaText);
    }
    const auto bits = std::bit_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(bits >> 24), static_cast<std::uint8_t>(bits >> 16),
            static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits)};
}

QString WholeNumberText(const QString& floatText) {
    float value = 0;
    if (!ParseSingle(floatText, value)) {
        return floatText;
    }
    return FixedText(value, kSignificantDigits, 0);
}

}  // namespace hart

#include "runtime/number_text.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace {

// The doubles nearest 0.999999999999999 and 9.99999999999999, written in hexadecimal, which
// gives their bits exactly (0x3FEFFFFFFFFFFFF7 and 0x4023FFFFFFFFFFFA), so that no compiler's
// decimal parsing can move them.
constexpr double kLowThreshold = 0x1.FFFFFFFFFFFF7p-1;
constexpr double kHighThreshold = 0x1.3FFFFFFFFFFFAp+3;

constexpr int kMaxDigits = 15;
std::array<char, kMaxDigits + 1> digitBuffer;

void roundUpDigit(int place) {
    // The thresholds keep the carry from ever running past place 0.
    while (place >= 0) {
        if (digitBuffer[place] != 9) {
            ++digitBuffer[place];
            return;
        }
        digitBuffer[place] = 0;
        --place;
    }
}

} // namespace

std::int32_t floorToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (value >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    const double truncated = std::trunc(value);
    auto result = static_cast<std::int32_t>(truncated);
    if (value < truncated) {
        --result;
    }
    return result;
}

const char* decimalDigits(double value, int n, int& exponent, bool& negative) {
    negative = false;
    exponent = 0;
    if (value == 0.0) {
        for (int k = 0; k < n; ++k) {
            digitBuffer[k] = '0';
        }
        digitBuffer[n] = 0;
        return digitBuffer.data();
    }
    double x = value;
    if (x < 0) {
        negative = true;
        x = x * -1.0;
    }
    exponent = 1;
    while (x < kLowThreshold) {
        x = x * 10.0;
        --exponent;
    }
    while (x >= kHighThreshold) {
        x = x / 10.0;
        ++exponent;
    }
    for (int k = 0; k < n; ++k) {
        const std::int32_t d = floorToInt(x);
        digitBuffer[k] = static_cast<char>(d);
        x = (x - d) * 10.0;
    }
    digitBuffer[n] = 0;
    if (x >= 5.0) {
        roundUpDigit(n - 1);
    }
    for (int k = 0; k < n; ++k) {
        digitBuffer[k] = static_cast<char>(digitBuffer[k] + '0');
    }
    return digitBuffer.data();
}

RtString numberToText(double value) {
    if (!std::isfinite(value)) {
        return stringFromText(std::isnan(value) ? "nan" : value < 0 ? "-inf" : "inf");
    }
    int exponent = 0;
    bool negative = false;
    const std::string digits = decimalDigits(value, kMaxDigits, exponent, negative);
    std::string text = negative ? "-" : "";
    if (exponent > 15 || exponent < -3) {
        std::array<char, 16> power{};
        std::snprintf(power.data(), power.size(), exponent > 15 ? "+%03d" : "%03d", exponent - 1);
        text += digits.substr(0, 1) + "." + digits.substr(1) + "e" + power.data();
    } else {
        if (exponent >= 1) {
            text += digits.substr(0, exponent) + "." + digits.substr(exponent);
        } else {
            text += "0." + std::string(-exponent, '0') + digits;
        }
        while (text.back() == '0') {
            text.pop_back();
        }
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return stringFromText(text.c_str());
}

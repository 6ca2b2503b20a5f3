#include "convert/text_rules.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "platform/sjis.h"

namespace kw39 {

namespace {

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Skips leading blanks and an optional sign; returns true for a minus sign.
bool TakeSign(std::string_view& text) {
    text = platform::TrimLeadingBlanks(text);
    if (text.empty() || (text.front() != '+' && text.front() != '-')) return false;
    const bool negative = text.front() == '-';
    text.remove_prefix(1);
    return negative;
}

std::size_t CountDigits(std::string_view text, std::size_t from) {
    std::size_t end = from;
    while (end < text.size() && IsDigit(text[end])) ++end;
    return end - from;
}

// Decimal exponent of the leading significant digit of a mantissa such as
// "000123.4" (3) or ".0012" (-2); used only to tell overflow from underflow.
long LeadingMagnitude(std::string_view mantissa) {
    const std::size_t point = mantissa.find('.');
    const std::string_view whole = mantissa.substr(0, point);
    const std::size_t firstNonZero = whole.find_first_not_of('0');
    if (firstNonZero != std::string_view::npos) {
        return static_cast<long>(whole.size() - firstNonZero);
    }
    if (point == std::string_view::npos) return 0;
    const std::string_view fraction = mantissa.substr(point + 1);
    const std::size_t firstInFraction = fraction.find_first_not_of('0');
    return firstInFraction == std::string_view::npos ? 0 : -static_cast<long>(firstInFraction);
}

// The exponent digits, saturated well beyond any double's range.
long ExponentValue(std::string_view exponent) {
    const bool negative = TakeSign(exponent);
    long value = 0;
    for (const char c : exponent) {
        value = std::min(value * 10 + (c - '0'), 100000L);
    }
    return negative ? -value : value;
}

}  // namespace

std::string RemoveBlanks(std::string_view text) { return platform::RemoveSingleByte(text, ' '); }

std::string JoinNameParts(std::string_view family, std::string_view given) {
    std::string name(family);
    if (!family.empty() && !given.empty()) name += ' ';
    name += given;
    return name;
}

std::string_view GetHyphenPart(std::string_view text, int part) {
    const std::size_t hyphen = platform::FindSingleByte(text, '-');
    if (hyphen == std::string_view::npos) return {};
    return part == 1 ? text.substr(0, hyphen) : text.substr(hyphen + 1);
}

std::string_view BlankUnused(std::string_view name) {
    return name == "未使用" ? std::string_view() : name;
}

std::int64_t ToInteger64(std::string_view text) {
    const bool negative = TakeSign(text);
    // Accumulate as a negative number, whose range is the larger one, and stop
    // growing at the limit.
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    std::int64_t value = 0;
    for (std::size_t i = 0; i < text.size() && IsDigit(text[i]); ++i) {
        const int digit = text[i] - '0';
        value = value < (kMin + digit) / 10 ? kMin : value * 10 - digit;
    }
    if (negative) return value;
    return value == kMin ? std::numeric_limits<std::int64_t>::max() : -value;
}

int ToInteger(std::string_view text) {
    return static_cast<int>(std::clamp<std::int64_t>(
        ToInteger64(text), std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

double ToReal(std::string_view text) {
    const bool negative = TakeSign(text);
    // Find the longest prefix of the form digits[.digits][(e|E)[sign]digits]
    // with at least one mantissa digit.
    const std::size_t wholeDigits = CountDigits(text, 0);
    std::size_t end = wholeDigits;
    std::size_t fractionDigits = 0;
    if (end < text.size() && text[end] == '.') {
        fractionDigits = CountDigits(text, end + 1);
        if (wholeDigits > 0 || fractionDigits > 0) end += 1 + fractionDigits;
    }
    if (wholeDigits == 0 && fractionDigits == 0) return 0.0;
    // Whole amounts of up to 15 digits, nearly every amount of an export, are
    // exact in a double: no parsing of a general number needed.
    constexpr std::size_t kExactDigits = 15;
    if (end == wholeDigits && wholeDigits <= kExactDigits &&
        (end == text.size() || (text[end] != 'e' && text[end] != 'E'))) {
        std::int64_t whole = 0;
        for (std::size_t i = 0; i < wholeDigits; ++i) whole = whole * 10 + (text[i] - '0');
        const auto value = static_cast<double>(whole);
        return negative ? -value : value;
    }
    const std::size_t mantissaEnd = end;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t digitsAt = end + 1;
        if (digitsAt < text.size() && (text[digitsAt] == '+' || text[digitsAt] == '-')) {
            ++digitsAt;
        }
        const std::size_t exponentDigits = CountDigits(text, digitsAt);
        if (exponentDigits > 0) end = digitsAt + exponentDigits;
    }
    const std::string_view number = text.substr(0, end);

    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value,
                                           std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // As strtod: too large gives infinity, too small gives zero.
        const long magnitude =
            LeadingMagnitude(number.substr(0, mantissaEnd)) +
            (end > mantissaEnd ? ExponentValue(number.substr(mantissaEnd + 1)) : 0);
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

void FormatWhole(double value, std::string& text) {
    // Whole amounts, the usual case, print exactly as "%.0f" would without the
    // cost of printf or of a new string; -0.0 becomes 0 here too.
    constexpr double kExactLimit = 9007199254740992.0;  // 2^53
    char buffer[400];  // the widest double printed with "%.0f" needs 310 bytes
    if (std::trunc(value) == value && std::fabs(value) < kExactLimit) {
        const auto end =
            std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(value)).ptr;
        text.assign(buffer, end);
        return;
    }
    std::snprintf(buffer, sizeof buffer, "%.0f", value);
    const std::string_view printed(buffer);
    text.assign(printed == "-0" ? std::string_view("0") : printed);
}

}  // namespace kw39

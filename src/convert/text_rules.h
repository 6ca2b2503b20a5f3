// Small text rules shared by the converters: blanks and name parts, the
// postal-code halves, master names marked unused, and the locale-independent
// reading and writing of numbers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kw39 {

// The text without any half-width blank; full-width blanks stay.
std::string RemoveBlanks(std::string_view text);

// Family and given part with one half-width blank between them when both are
// present; otherwise whichever part is present, or "".
std::string JoinNameParts(std::string_view family, std::string_view given);

// For `part` 1 the text before the first "-", for any other value the text after it;
// "" for every part when the text holds no "-".
std::string_view GetHyphenPart(std::string_view text, int part);

// A master-table name "未使用" (unused) becomes ""; any other name stays.
std::string_view BlankUnused(std::string_view name);

// The leading decimal integer of a text: blanks skipped, optional sign, digits
// up to the first other character; 0 without digits. Values beyond the 64-bit
// range are clamped to it.
std::int64_t ToInteger64(std::string_view text);

// The same clamped to the 32-bit range, for numbers that count or number
// things (months, payments, dependants).
int ToInteger(std::string_view text);

// The leading decimal number of a text: blanks skipped, optional sign, digits
// with an optional decimal point and exponent; 0 without digits.
double ToReal(std::string_view text);

// The number rounded to a whole number as "%.0f" prints it, except that a
// value that rounds to zero is "0", never "-0"; written over `text`.
void FormatWhole(double value, std::string& text);

}  // namespace kw39

#include "run/launch_context.h"

#include <climits>
#include <optional>

#include "platform/sjis.h"
#include "run/era.h"

namespace kw39 {

std::string DefaultYear(const platform::LocalDate& date) { return std::to_string(EraYearOn(date)); }

namespace {

// A hand-written reader of the "%d,%d,%d,%s" form with scanf's rules, but with
// a defined result for numbers that do not fit: they are clamped to int.
class LaunchScanner {
  public:
    explicit LaunchScanner(std::string_view text) : m_text(text) {}

    // %d: blanks, an optional sign, at least one digit.
    std::optional<int> Number() {
        SkipBlanks();
        std::size_t pos = m_pos;
        bool negative = false;
        if (pos < m_text.size() && (m_text[pos] == '+' || m_text[pos] == '-')) {
            negative = m_text[pos] == '-';
            ++pos;
        }
        const std::size_t digitsBegin = pos;
        long long value = 0;  // kept within int range plus one, so never overflows
        for (; pos < m_text.size() && m_text[pos] >= '0' && m_text[pos] <= '9'; ++pos) {
            if (value <= static_cast<long long>(INT_MAX) + 1)
                value = value * 10 + (m_text[pos] - '0');
        }
        if (pos == digitsBegin) return std::nullopt;
        m_pos = pos;
        if (negative) value = -value;
        if (value > INT_MAX) return INT_MAX;
        if (value < INT_MIN) return INT_MIN;
        return static_cast<int>(value);
    }

    // An ordinary format character: must be the very next byte.
    bool Literal(char c) {
        if (m_pos >= m_text.size() || m_text[m_pos] != c) return false;
        ++m_pos;
        return true;
    }

    // %s: blanks skipped, then everything up to the next blank; at least one byte.
    std::optional<std::string> Word() {
        SkipBlanks();
        const std::size_t begin = m_pos;
        while (m_pos < m_text.size() && !platform::IsAsciiBlank(m_text[m_pos])) ++m_pos;
        if (m_pos == begin) return std::nullopt;
        return std::string(m_text.substr(begin, m_pos - begin));
    }

  private:
    void SkipBlanks() {
        while (m_pos < m_text.size() && platform::IsAsciiBlank(m_text[m_pos])) ++m_pos;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

}  // namespace

bool ParseLaunchCommandLine(std::string_view args, const platform::LocalDate& today,
                            LaunchContext& context) {
    context.defaultYear = DefaultYear(today);

    LaunchScanner scan(args);
    const auto window = scan.Number();
    const auto message = window && scan.Literal(',') ? scan.Number() : std::nullopt;
    const auto code = message && scan.Literal(',') ? scan.Number() : std::nullopt;
    const auto path = code && scan.Literal(',') ? scan.Word() : std::nullopt;
    if (!path) {
        context.launchCode = kLaunchStandalone;
        return false;
    }
    context.hostWindow = *window;
    // The message id travels as a signed number; its bits are the id.
    context.notifyMessage = static_cast<std::uint32_t>(*message);
    context.launchCode = *code;
    context.hostOutputPath = *path;
    return true;
}

}  // namespace kw39

#include "cli/progress_line.h"

#include <algorithm>
#include <utility>

#include "platform/sjis.h"
#include "platform/visible_text.h"

namespace kw39::cli {

namespace {

// At most `width` bytes of `text`, never ending inside a double-byte character.
std::string_view Clip(std::string_view text, std::size_t width) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + platform::CharLength(text, end);
        if (next > width) break;
        end = next;
    }
    return text.substr(0, end);
}

}  // namespace

ProgressLine::ProgressLine(Writer write, Clock clock)
    : m_write(std::move(write)), m_clock(std::move(clock)), m_lastDraw(m_clock()) {}

void ProgressLine::SetPrefix(std::string prefix) { m_strPrefix = std::move(prefix); }

void ProgressLine::Update(std::string text) {
    m_strText = std::move(text);
    const auto now = m_clock();
    if (now - m_lastDraw < kIntervalMs) return;
    m_lastDraw = now;
    Draw();
}

void ProgressLine::Draw() {
    // The prefix names a company's folder, which may hold any character.
    const std::string full = platform::VisibleName(m_strPrefix + m_strText);
    const std::string_view shown = Clip(full, kMaxWidth);
    std::string line = "\r";
    line += shown;
    // Blanks over the rest of a longer line drawn before; CP932 text takes one
    // column per byte, so byte counts are column counts.
    if (shown.size() < m_nDrawnWidth) {
        line.append(m_nDrawnWidth - shown.size(), ' ');
        line += '\r';
        line += shown;
    }
    m_write(line);
    m_nDrawnWidth = std::max(shown.size(), std::size_t{1});
}

void ProgressLine::Clear() {
    if (Drawn()) m_write("\r" + std::string(m_nDrawnWidth, ' ') + "\r");
    m_nDrawnWidth = 0;
    m_lastDraw = m_clock();
}

}  // namespace kw39::cli

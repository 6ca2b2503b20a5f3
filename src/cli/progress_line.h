// One line of progress on a terminal, redrawn in place with a carriage return
// so that it never scrolls, at most about ten times a second.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kw39::cli {

class ProgressLine {
  public:
    // Milliseconds of a monotonic clock. (<chrono> cannot be used here: its
    // literals do not survive the CP932 execution character set.)
    using Clock = std::function<std::int64_t()>;
    using Writer = std::function<void(std::string_view cp932)>;

    // The shortest time between two draws; also the time after the start of a
    // line before it is first drawn, so that a quick run shows nothing.
    static constexpr std::int64_t kIntervalMs = 100;
    // A drawn line never reaches the terminal's right edge (it would wrap).
    static constexpr std::size_t kMaxWidth = 79;

    ProgressLine(Writer write, Clock clock);

    // Text put before every text of the line, such as "[2/5] folder: ".
    void SetPrefix(std::string prefix);
    // The line's new text (CP932); drawn now if the interval has passed since
    // the last draw, else later by a following Update.
    void Update(std::string text);
    // Erases a drawn line and leaves the cursor at its start, before a message
    // or at the end, so that no progress stays on the screen; the next Update
    // then waits a full interval again.
    void Clear();

    // True when an Update now would draw: callers can skip making the text.
    bool Due() const { return m_clock() - m_lastDraw >= kIntervalMs; }
    bool Drawn() const { return m_nDrawnWidth > 0; }

  private:
    void Draw();

    Writer m_write;
    Clock m_clock;
    std::string m_strPrefix;
    std::string m_strText;
    std::int64_t m_lastDraw;
    std::size_t m_nDrawnWidth = 0;  // bytes of the line on screen (CP932: one column each)
};

}  // namespace kw39::cli

#include "pca/section_aside.h"

#include "pca/data_line_error.h"
#include "pca/header_line.h"
#include "platform/interrupt_cleanup.h"
#include "platform/io_error.h"
#include "platform/line_reader.h"
#include "platform/sjis.h"

namespace kw39 {

namespace {

// What ends the thread's part at a line it leaves to the reading thread.
struct LeftForInTurn {};

// Ends the thread's part at the first finding.
class StopAtFinding : public ReadListener {
  public:
    void Noted(const ReadFinding&) override { throw LeftForInTurn{}; }
};

}  // namespace

SectionAside::SectionAside(const platform::InputFile& file,
                           std::unique_ptr<platform::InputFile> part, std::vector<AsidePart> parts,
                           bool listened, StoreLine store, std::string path)
    : m_file(file),
      m_pPart(std::move(part)),
      m_aParts(std::move(parts)),
      m_bListened(listened),
      m_store(std::move(store)),
      m_strPath(std::move(path)),
      m_nLoaded(m_aParts.front().mark.headerLine) {
    m_thread = platform::StartHelperThread([this] { Run(); });
}

SectionAside::~SectionAside() {
    m_bStop = true;
    if (m_thread.joinable()) m_thread.join();
}

bool SectionAside::Holds(const TableRows* table) const {
    for (const AsidePart& part : m_aParts) {
        if (part.table == table) return true;
    }
    return false;
}

bool SectionAside::NextSectionAt(std::size_t number, std::string_view line) const {
    if (m_nPart + 1 >= m_aParts.size()) return false;
    const SectionMark& next = m_aParts[m_nPart + 1].mark;
    return number == next.headerLine && HeaderTableCode(line) == next.code;
}

void SectionAside::Run() noexcept {
    StopAtFinding stop;
    try {
        CheckedInputFile checked(*m_pPart, m_check);
        platform::LineReader reader(checked);
        std::string_view raw;
        while (m_nLoaded < Last().lastLine && !m_bStop.load(std::memory_order_relaxed)) {
            // A section that ends before its last line is left to Finish, and
            // so are the lines from a piece of bytes that is no Shift_JIS
            // text: the reading before the load found them to be, so the file
            // was written again meanwhile.
            const std::uint64_t at = First().dataOffset + m_nResume;
            if (!reader.Next(raw) || !m_check.ShiftJisSoFar()) return;
            const std::string_view line = platform::TrimTrailingBlanks(raw);
            const std::size_t number = First().headerLine + reader.LineNumber();
            if (!line.empty()) {
                if (reader.Overlong()) return;
                if (IsHeaderLine(line)) {
                    if (!NextSectionAt(number, line)) return;
                    ++m_nPart;
                } else {
                    m_store(*m_aParts[m_nPart].table, line, number, at, false,
                            m_bListened ? &stop : nullptr);
                }
            }
            m_nLoaded = number;
            m_nResume = reader.Offset();
        }
    } catch (const LeftForInTurn&) {
    } catch (const DataLineError&) {
    } catch (const platform::IoError&) {
        // Told by the reading thread when it reads these lines itself.
    } catch (...) {
        m_failure = std::current_exception();
    }
}

void SectionAside::Finish(ReadListener* listener) {
    if (m_thread.joinable()) m_thread.join();
    if (m_nLoaded < Last().lastLine) {
        if (m_failure) std::rethrow_exception(m_failure);
        // The lines the thread left, loaded here in turn.
        const std::uint64_t from = m_nResume;
        const std::unique_ptr<platform::InputFile> part = m_file.ReadAt(First().dataOffset + from);
        if (!part) throw platform::ReadError(m_strPath);
        platform::LineReader reader(*part);
        TextEncodingCheck check;
        std::string_view raw;
        while (m_nLoaded < Last().lastLine) {
            const std::uint64_t at = First().dataOffset + m_nResume;
            if (!reader.Next(raw)) throw platform::InputChangedError(m_strPath);
            const std::string_view line = platform::TrimTrailingBlanks(raw);
            const std::size_t number = m_nLoaded + 1;
            check.Feed(raw);
            check.Feed("\n");
            if (!line.empty()) {
                const bool overlong = reader.Overlong();
                if (!check.ShiftJisSoFar()) throw platform::InputChangedError(m_strPath);
                if (!overlong && IsHeaderLine(line)) {
                    if (!NextSectionAt(number, line)) throw platform::InputChangedError(m_strPath);
                    ++m_nPart;
                } else {
                    m_store(*m_aParts[m_nPart].table, line, number, at, overlong, listener);
                }
            }
            m_nLoaded = number;
            m_nResume = from + reader.Offset();
        }
        m_check.IncludeUtf8Of(check);
    }
    // The next section, or the end of the file, must follow where it was found.
    if (m_nPart + 1 != m_aParts.size() || First().dataOffset + m_nResume != Last().endOffset) {
        throw platform::InputChangedError(m_strPath);
    }
}

}  // namespace kw39

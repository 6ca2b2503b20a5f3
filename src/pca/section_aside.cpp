#include "pca/section_aside.h"

#include "pca/data_line_error.h"
#include "pca/header_line.h"
#include "pca/text_encoding_check.h"
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

// The bytes of a part read through the encoding check: the load took the
// whole file's bytes through one before, so a fault here means the file was
// written again meanwhile. Nothing after such a piece is handed out.
class CheckedPart : public platform::InputFile {
  public:
    explicit CheckedPart(std::unique_ptr<platform::InputFile> part) : m_pPart(std::move(part)) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t got = m_pPart->Read(buffer, size);
        m_check.Feed(std::string_view(buffer, got));
        if (!m_check.ShiftJisSoFar()) throw LeftForInTurn{};
        return got;
    }

  private:
    std::unique_ptr<platform::InputFile> m_pPart;
    TextEncodingCheck m_check;
};

}  // namespace

SectionAside::SectionAside(const platform::InputFile& file, std::uint64_t offset,
                           std::unique_ptr<platform::InputFile> part, std::size_t header,
                           TableRows& table, bool listened, StoreLine store, std::string path)
    : m_file(file),
      m_pPart(std::move(part)),
      m_nOffset(offset),
      m_nHeader(header),
      m_table(table),
      m_bListened(listened),
      m_store(std::move(store)),
      m_strPath(std::move(path)),
      m_nLoaded(header) {
    m_thread = platform::StartHelperThread([this] { Run(); });
}

SectionAside::~SectionAside() {
    if (m_thread.joinable()) m_thread.join();
}

void SectionAside::Run() noexcept {
    StopAtFinding stop;
    try {
        CheckedPart checked(std::move(m_pPart));
        platform::LineReader reader(checked);
        std::string_view raw;
        for (;;) {
            m_nResume = reader.Offset();
            if (!reader.Next(raw)) break;
            const std::string_view line = platform::TrimTrailingBlanks(raw);
            const std::size_t number = m_nHeader + reader.LineNumber();
            if (!line.empty()) {
                if (reader.Overlong() || IsHeaderLine(line)) break;
                m_store(m_table, line, number, m_bListened ? &stop : nullptr);
            }
            m_nLoaded = number;
        }
    } catch (const LeftForInTurn&) {
    } catch (const DataLineError&) {
    } catch (const platform::IoError&) {
        // Told by the reading thread when it reads these lines itself.
    } catch (...) {
        m_failure = std::current_exception();
    }
}

void SectionAside::Finish(ReadListener* listener, std::size_t last) {
    if (m_thread.joinable()) m_thread.join();
    if (m_nLoaded >= last) return;
    if (m_failure) std::rethrow_exception(m_failure);
    // The lines the thread left, loaded here in turn.
    const std::unique_ptr<platform::InputFile> part = m_file.ReadAt(m_nOffset + m_nResume);
    if (!part) throw platform::ReadError(m_strPath);
    platform::LineReader reader(*part);
    std::string_view raw;
    TextEncodingCheck check;
    while (m_nLoaded < last) {
        if (!reader.Next(raw)) throw platform::InputChangedError(m_strPath);
        const std::string_view line = platform::TrimTrailingBlanks(raw);
        const std::size_t number = m_nLoaded + 1;
        check.Feed(raw);
        check.Feed("\n");
        if (!line.empty()) {
            if (reader.Overlong() || IsHeaderLine(line) || !check.ShiftJisSoFar()) {
                throw platform::InputChangedError(m_strPath);
            }
            m_store(m_table, line, number, listener);
        }
        m_nLoaded = number;
    }
}

}  // namespace kw39

// A large section of an export, with the sections that follow it, loaded on a
// second thread while the reading thread loads the rest: the monthly file
// holds two tables of about the same size, and each can be loaded on a core
// of its own. Where the sections lie is known from the reading of the whole
// file before the load, so the reading thread passes over their bytes without
// reading them. The rows must come out as loading the lines in turn gives
// them, findings and failures in the order of the file, so the second thread
// loads only what needs no telling: at the first line that would tell the
// listener something or fail, it stops, and the reading thread loads the rest
// of the sections itself once it has passed them (Finish), in order.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "pca/read_listener.h"
#include "pca/section_mark.h"
#include "pca/text_encoding_check.h"
#include "platform/file_system.h"

namespace kw39 {

struct TableRows;

// One section of those loaded aside, and the table its lines go into.
struct AsidePart {
    SectionMark mark;
    TableRows* table = nullptr;
};

class SectionAside {
  public:
    // Stores one data line of the table (trailing blanks trimmed, not empty)
    // with its line number and the byte of the file where it starts;
    // `overlong`: the line was longer than a line may be (which fails).
    // `listener` may be null.
    using StoreLine = std::function<void(TableRows&, std::string_view, std::size_t, std::uint64_t,
                                         bool, ReadListener*)>;

    // Starts loading the lines of the sections `parts` of `file`, which follow
    // one another in the file, into their tables; `part` reads the file from
    // the first section's first data line on (file.ReadAt(dataOffset)).
    // `listened`: whether the load tells a listener. `file` must outlive this
    // object.
    SectionAside(const platform::InputFile& file, std::unique_ptr<platform::InputFile> part,
                 std::vector<AsidePart> parts, bool listened, StoreLine store, std::string path);
    // Stops the thread where it stands: the section is no longer wanted.
    ~SectionAside();
    SectionAside(const SectionAside&) = delete;
    SectionAside& operator=(const SectionAside&) = delete;

    // Whether the lines of `table` are loaded here.
    bool Holds(const TableRows* table) const;
    const std::vector<AsidePart>& Parts() const { return m_aParts; }
    const SectionMark& First() const { return m_aParts.front().mark; }
    const SectionMark& Last() const { return m_aParts.back().mark; }
    // Whether a thread was started.
    bool Started() const { return m_thread.joinable(); }

    // Waits for the thread and loads what it left of the sections in turn,
    // telling `listener`: afterwards the tables hold what loading the
    // sections' lines in turn gives. Throws what loading them throws;
    // InputChangedError when the file no longer holds the sections where
    // they were found.
    void Finish(ReadListener* listener);

    // What the sections' bytes are as UTF-8, for the verdict over the file.
    const TextEncodingCheck& Check() const { return m_check; }

  private:
    void Run() noexcept;
    // Whether `line`, line `number`, is the header line of the next section.
    bool NextSectionAt(std::size_t number, std::string_view line) const;

    const platform::InputFile& m_file;
    std::unique_ptr<platform::InputFile> m_pPart;
    std::vector<AsidePart> m_aParts;
    bool m_bListened;
    StoreLine m_store;
    std::string m_strPath;
    TextEncodingCheck m_check;
    std::atomic<bool> m_bStop{false};
    std::thread m_thread;

    // What the thread leaves: the lines up to m_nLoaded are loaded, those of
    // m_aParts[m_nPart] last, and the next one starts m_nResume bytes after
    // the first section's first data line; a failure no loading in turn would
    // tell otherwise (out of memory) stands in m_failure.
    std::size_t m_nLoaded;
    std::size_t m_nPart = 0;
    std::uint64_t m_nResume = 0;
    std::exception_ptr m_failure;
};

}  // namespace kw39

// A large section of an export loaded on a second thread while the reading
// thread goes on: the monthly file holds two tables of about the same size,
// and each can be loaded on a core of its own. The rows must come out as
// loading the lines in turn gives them, findings and failures in the order of
// the file, so the second thread loads only what needs no telling: at the
// first line that would tell the listener something or fail, it stops, and
// the reading thread loads the rest of the section itself when it comes to
// it (Finish), in order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "pca/read_listener.h"
#include "platform/file_system.h"

namespace kw39 {

struct TableRows;

class SectionAside {
  public:
    // Stores one data line of the table (trailing blanks trimmed, not empty)
    // with its line number; `listener` may be null.
    using StoreLine = std::function<void(TableRows&, std::string_view, std::size_t, ReadListener*)>;

    // Starts loading the lines of `file` from byte `offset` on (`part` reads
    // them: file.ReadAt(offset)), which follow the header line of `table`
    // numbered `header`, up to the next header line or the end of the file.
    // `listened`: whether the load tells a listener.
    SectionAside(const platform::InputFile& file, std::uint64_t offset,
                 std::unique_ptr<platform::InputFile> part, std::size_t header, TableRows& table,
                 bool listened, StoreLine store, std::string path);
    ~SectionAside();
    SectionAside(const SectionAside&) = delete;
    SectionAside& operator=(const SectionAside&) = delete;

    TableRows& Table() const { return m_table; }
    // Whether a thread was started (else Finish loads every line in turn).
    bool Started() const { return m_thread.joinable(); }

    // Waits for the thread and loads what it left of the lines up to `last`,
    // telling `listener`: afterwards the table holds what loading the lines
    // after the header up to `last` in turn gives. Throws what loading them
    // throws; InputChangedError when the file no longer holds them.
    void Finish(ReadListener* listener, std::size_t last);

  private:
    void Run() noexcept;

    const platform::InputFile& m_file;
    std::unique_ptr<platform::InputFile> m_pPart;
    std::uint64_t m_nOffset;
    std::size_t m_nHeader;
    TableRows& m_table;
    bool m_bListened;
    StoreLine m_store;
    std::string m_strPath;
    std::thread m_thread;

    // What the thread leaves: the lines up to m_nLoaded are loaded, and the
    // next one starts m_nResume bytes after m_nOffset; a failure no loading
    // in turn would tell otherwise (out of memory) stands in m_failure.
    std::size_t m_nLoaded;
    std::uint64_t m_nResume = 0;
    std::exception_ptr m_failure;
};

}  // namespace kw39

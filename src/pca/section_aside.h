// A large section of an export loaded on a second thread while the reading
// thread loads the rest: the monthly file holds two tables of about the same
// size, and each can be loaded on a core of its own. Where the section lies is
// known from the reading of the whole file before the load, so the reading
// thread passes over its bytes without reading them. The rows must come out
// as loading the lines in turn gives them, findings and failures in the order
// of the file, so the second thread loads only what needs no telling: at the
// first line that would tell the listener something or fail, it stops, and
// the reading thread loads the rest of the section itself once it has passed
// it (Finish), in order.
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

#include "pca/read_listener.h"
#include "pca/section_mark.h"
#include "pca/text_encoding_check.h"
#include "platform/file_system.h"

namespace kw39 {

struct TableRows;

class SectionAside {
  public:
    // Stores one data line of the table (trailing blanks trimmed, not empty)
    // with its line number and the byte of the file where it starts;
    // `overlong`: the line was longer than a line may be (which fails).
    // `listener` may be null.
    using StoreLine = std::function<void(TableRows&, std::string_view, std::size_t, std::uint64_t,
                                         bool, ReadListener*)>;

    // Starts loading the lines of the section `mark` of `file` into `table`;
    // `part` reads the file from the section's first data line on
    // (file.ReadAt(mark.dataOffset)). `listened`: whether the load tells a
    // listener. `file` must outlive this object.
    SectionAside(const platform::InputFile& file, std::unique_ptr<platform::InputFile> part,
                 const SectionMark& mark, TableRows& table, bool listened, StoreLine store,
                 std::string path);
    // Stops the thread where it stands: the section is no longer wanted.
    ~SectionAside();
    SectionAside(const SectionAside&) = delete;
    SectionAside& operator=(const SectionAside&) = delete;

    TableRows& Table() const { return m_table; }
    const SectionMark& Mark() const { return m_mark; }
    // Whether a thread was started.
    bool Started() const { return m_thread.joinable(); }

    // Waits for the thread and loads what it left of the section in turn,
    // telling `listener`: afterwards the table holds what loading the
    // section's lines in turn gives. Throws what loading them throws;
    // InputChangedError when the file no longer holds the section where it
    // was found.
    void Finish(ReadListener* listener);

    // What the section's bytes are as UTF-8, for the verdict over the file.
    const TextEncodingCheck& Check() const { return m_check; }

  private:
    void Run() noexcept;

    const platform::InputFile& m_file;
    std::unique_ptr<platform::InputFile> m_pPart;
    SectionMark m_mark;
    TableRows& m_table;
    bool m_bListened;
    StoreLine m_store;
    std::string m_strPath;
    TextEncodingCheck m_check;
    std::atomic<bool> m_bStop{false};
    std::thread m_thread;

    // What the thread leaves: the lines up to m_nLoaded are loaded, and the
    // next one starts m_nResume bytes after the section's first data line; a
    // failure no loading in turn would tell otherwise (out of memory) stands
    // in m_failure.
    std::size_t m_nLoaded;
    std::uint64_t m_nResume = 0;
    std::exception_ptr m_failure;
};

}  // namespace kw39

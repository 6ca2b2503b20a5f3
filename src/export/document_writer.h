// The low-level pieces of the document writer: element lines, the one escaping
// routine, and a buffered writer that streams lines to a DocumentSink.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "export/document_sink.h"
#include "platform/file_system.h"

namespace kw39 {

// Appends `text` with & < > " ' replaced by their entities and every line feed
// by CR LF. Used for element content and attribute values alike, so every
// value is escaped here only.
void AppendEscaped(std::string& out, std::string_view text);

// Appends one element line ending in CR LF: 4 x level spaces, then <tag/> for
// an empty value or <tag>escaped value</tag>.
void AppendElement(std::string& out, std::string_view tag, std::string_view value, int level);

// Collects lines and hands them to the sink in large pieces. Every line ends in
// CR LF, as a text-mode file of Windows writes it, and so does a line feed
// inside a value (AppendEscaped): the lines appended must end so too.
class DocumentWriter {
  public:
    // Large enough that writing costs few system calls, small enough that the
    // writer adds little to a run's memory; the size of the pieces a file
    // written in the background takes without copying them.
    static constexpr std::size_t kDefaultCapacity = 256 * 1024;

    explicit DocumentWriter(DocumentSink& sink, std::size_t capacity = kDefaultCapacity);
    DocumentWriter(const DocumentWriter&) = delete;
    DocumentWriter& operator=(const DocumentWriter&) = delete;

    // The buffer to append whole lines to; call LineDone() after each line or
    // small group of lines so that a full buffer is passed on.
    std::string& Buffer() { return m_buffer; }
    void LineDone() {
        if (m_buffer.size() >= m_nCapacity) Flush();
    }

    void Append(std::string_view text) { m_buffer.append(text); }
    void Element(std::string_view tag, std::string_view value, int level) {
        AppendElement(m_buffer, tag, value, level);
        LineDone();
    }

    // Passes on everything collected so far. Must be called at the end; lines
    // still in the buffer when the writer is destroyed are lost.
    void Flush();

  private:
    DocumentSink& m_sink;
    std::size_t m_nCapacity;
    std::string m_buffer;  // lines with CR LF ends
};

// A sink over an output file.
class OutputFileSink : public DocumentSink {
  public:
    explicit OutputFileSink(platform::OutputFile& file) : m_file(file) {}
    void Write(const char* data, std::size_t size) override { m_file.Write(data, size); }
    void Take(std::string& bytes) override { m_file.Take(bytes); }

  private:
    platform::OutputFile& m_file;
};

}  // namespace kw39

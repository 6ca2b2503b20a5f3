// Where a document's bytes go: a file being written, or memory in tests.
#pragma once

#include <cstddef>
#include <string>

namespace kw39 {

class DocumentSink {
  public:
    virtual ~DocumentSink() = default;
    virtual void Write(const char* data, std::size_t size) = 0;
    // Writes all of `bytes` and leaves it empty; may take its memory and leave
    // other memory in its place.
    virtual void Take(std::string& bytes) {
        Write(bytes.data(), bytes.size());
        bytes.clear();
    }
};

class StringSink : public DocumentSink {
  public:
    void Write(const char* data, std::size_t size) override { text.append(data, size); }
    std::string text;
};

// Takes every byte and keeps none.
class DroppingSink : public DocumentSink {
  public:
    void Write(const char*, std::size_t) override {}
};

}  // namespace kw39

#include "platform/background_output_file.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/io_error.h"

namespace kw39::platform {
namespace {

// Records what reaches it; fails a write once `failAfter` bytes have arrived.
struct Recorded {
    std::string bytes;
    int writes = 0;
    int closes = 0;
};

class RecordingFile : public OutputFile {
  public:
    RecordingFile(Recorded& out, std::size_t failAfter) : m_out(out), m_nFailAfter(failAfter) {}
    void Write(const char* data, std::size_t size) override {
        ++m_out.writes;
        if (m_out.bytes.size() + size > m_nFailAfter) throw WriteError("out.xml");
        m_out.bytes.append(data, size);
    }
    void Close() override { ++m_out.closes; }

  private:
    Recorded& m_out;
    std::size_t m_nFailAfter;
};

std::unique_ptr<OutputFile> Recording(Recorded& out, std::size_t failAfter = std::string::npos) {
    return std::make_unique<RecordingFile>(out, failAfter);
}

std::string Numbered(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += std::to_string(i) + ",";
    return text;
}

TEST(BackgroundOutputFile, EveryByteArrivesInOrderAndCloseClosesOnce) {
    const std::string text = Numbered(5000);  // many pieces of 7 bytes
    Recorded out;
    {
        BackgroundOutputFile file(Recording(out), 7);
        // Uneven writes: some smaller than a piece, some spanning several.
        for (std::size_t at = 0, step = 1; at < text.size(); at += step, step = step % 23 + 1) {
            file.Write(text.data() + at, std::min(step, text.size() - at));
        }
        file.Close();
        EXPECT_THROW(file.Close(), std::logic_error);
    }
    EXPECT_EQ(out.bytes, text);
    EXPECT_EQ(out.writes, static_cast<int>((text.size() + 6) / 7));
    EXPECT_EQ(out.closes, 1);

    // An empty file is closed too, without a write.
    Recorded empty;
    BackgroundOutputFile nothing(Recording(empty));
    nothing.Close();
    EXPECT_EQ(empty.writes, 0);
    EXPECT_EQ(empty.closes, 1);

    // A file smaller than a piece arrives in one write.
    Recorded small;
    BackgroundOutputFile few(Recording(small), 64);
    few.Write("abc", 3);
    few.Write("def", 3);
    few.Close();
    EXPECT_THROW(few.Close(), std::logic_error);
    EXPECT_EQ(small.bytes, "abcdef");
    EXPECT_EQ(small.writes, 1);
    EXPECT_EQ(small.closes, 1);

    // Pieces taken whole and bytes written mixed: every byte in order, the
    // buffers given back empty and used again.
    Recorded mixed;
    {
        BackgroundOutputFile file(Recording(mixed), 8);
        std::string buffer;
        for (std::size_t at = 0, step = 1; at < text.size(); at += step, step = step % 19 + 1) {
            buffer.assign(text, at, step);
            if (step % 3 == 0) {
                file.Write(buffer.data(), buffer.size());
            } else {
                file.Take(buffer);
                EXPECT_TRUE(buffer.empty());
            }
        }
        file.Close();
    }
    EXPECT_EQ(mixed.bytes, text);
    EXPECT_EQ(mixed.closes, 1);
}

TEST(BackgroundOutputFile, AFailedPieceIsReportedByALaterWriteOrByClose) {
    // The failure of the thread's piece surfaces at the next hand-over...
    Recorded out;
    BackgroundOutputFile file(Recording(out, 10), 8);
    file.Write("12345678", 8);  // handed over, written
    file.Write("abcdefgh", 8);  // handed over, fails in the thread
    EXPECT_THROW(file.Write("ABCDEFGH", 8), IoError);
    EXPECT_THROW(file.Close(), IoError);
    EXPECT_EQ(out.bytes, "12345678");
    EXPECT_EQ(out.closes, 0);  // a file that failed is not closed as if complete

    // ...or at Close, which then does not close the inner file either.
    Recorded tail;
    BackgroundOutputFile small(Recording(tail, 3), 8);
    small.Write("12345", 5);
    EXPECT_THROW(small.Close(), IoError);
    EXPECT_EQ(tail.closes, 0);
}

TEST(BackgroundOutputFile, DestroyedUnclosedStopsWithoutClosing) {
    Recorded out;
    {
        BackgroundOutputFile file(Recording(out), 4);
        file.Write("0123456789", 10);
    }
    EXPECT_EQ(out.closes, 0);
    // Whatever was written is a prefix of what was given.
    EXPECT_EQ(std::string("0123456789").substr(0, out.bytes.size()), out.bytes);
}

}  // namespace
}  // namespace kw39::platform

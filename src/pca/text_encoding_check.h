// Tells whether the bytes of an input file are Shift_JIS text at all. A clerk
// who saves the export as UTF-8 or UTF-16, or picks a file that is no text,
// would otherwise get a document of garbled names or one that Orvelle cannot
// read; the input checks refuse such a file with a message that says so.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace kw39 {

enum class TextProblem {
    None,          // Shift_JIS text (or plain ASCII)
    Utf16,         // begins with a UTF-16 byte-order mark
    Utf8,          // a UTF-8 byte-order mark, or valid UTF-8 with Japanese characters
    NulBytes,      // NUL bytes: UTF-16 without a byte-order mark, or no text at all
    NotShiftJis,   // a byte that no Shift_JIS text holds (control byte, broken or unassigned
                   // character)
    DataAfterEnd,  // more data after the end-of-file byte 0x1A, which would be lost
};

struct TextVerdict {
    TextProblem problem = TextProblem::None;
    std::size_t nLine = 0;  // 1-based line of the offending byte, 0 when none applies
};

// Looks at a file's bytes in the pieces in which they are read. Only the bytes
// up to the first 0x1A count as text, as text-mode reading stops there; after
// it only blanks and further 0x1A bytes may follow.
class TextEncodingCheck {
  public:
    void Feed(std::string_view bytes);

    // True while more bytes could still change whether the file is refused:
    // also after a 0x1A, where line reading stops, until data shows up there.
    bool VerdictMayChange() const {
        return !CertainlyRefused() && (!m_bEnded || m_nAfterEndLine == 0);
    }

    // The verdict over everything fed so far, as if the file ended here.
    TextVerdict Verdict() const;

    // True when the file is refused whatever bytes follow, so that reading may
    // stop (a binary file, or a device that never ends).
    bool CertainlyRefused() const;

    // Whether a byte 0x1A was fed.
    bool SawEndOfFile() const { return m_bEnded; }

    // Whether every byte fed so far belongs to Shift_JIS text (a character
    // begun may still be ended by the next byte). For a part of a file, where
    // what tells UTF-8 or a byte-order mark apart does not apply.
    bool ShiftJisSoFar() const {
        return m_nNulLine == 0 && m_nControlLine == 0 && m_nCp932ErrorLine == 0;
    }

    // Goes on with the bytes from the start of line `line`, the ones before it
    // being checked elsewhere: a character begun before is not completed.
    void ContinueAt(std::size_t line);

    // Takes in whether the bytes fed to `other`, bytes of the same file
    // between line starts, are UTF-8, so that the verdict is the one over
    // both.
    void IncludeUtf8Of(const TextEncodingCheck& other);

  private:
    // A byte-order mark at the start of the file.
    TextProblem MarkProblem() const;
    void FeedText(unsigned char c);
    void FeedAfterEnd(std::string_view bytes);
    void FeedCp932(unsigned char c);
    void FeedUtf8(unsigned char c);

    std::size_t m_nLine = 1;
    bool m_bEnded = false;  // a 0x1A was seen
    std::size_t m_nAfterEndLine = 0;

    unsigned char m_aStart[3] = {};  // first bytes, for the byte-order marks
    std::size_t m_nStart = 0;

    std::size_t m_nNulLine = 0;
    std::size_t m_nControlLine = 0;

    unsigned char m_nCp932Lead = 0;  // the previous byte, when it opened a double-byte character
    std::size_t m_nCp932ErrorLine = 0;

    int m_nUtf8Need = 0;  // continuation bytes still expected
    unsigned char m_nUtf8Low = 0x80;
    unsigned char m_nUtf8High = 0xBF;
    bool m_bUtf8Valid = true;
    bool m_bUtf8Wide = false;  // a sequence of three or four bytes was seen
};

// What a verdict says is wrong with the file, as the messages word it; "" for
// a file of Shift_JIS text.
std::string DescribeTextProblem(const TextVerdict& verdict);

// Passes every byte read through the encoding check on its way to the line
// reader, so that the file is read only once; a file already refused is read
// no further (it may be huge, or a device that never ends).
class CheckedInputFile : public platform::InputFile {
  public:
    CheckedInputFile(platform::InputFile& file, TextEncodingCheck& check)
        : m_file(file), m_check(check) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        if (m_check.CertainlyRefused()) return 0;
        const std::size_t got = m_file.Read(buffer, size);
        m_check.Feed(std::string_view(buffer, got));
        return got;
    }

  private:
    platform::InputFile& m_file;
    TextEncodingCheck& m_check;
};

}  // namespace kw39

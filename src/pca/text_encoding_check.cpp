#include "pca/text_encoding_check.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "platform/bits.h"
#include "platform/messages.h"
#include "platform/sjis.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace kw39 {

namespace {

constexpr unsigned char kEndOfFile = 0x1A;

// Control bytes that no text export holds and that an XML document cannot
// carry: all below 0x20 except tab, line feed and carriage return (0x1A, which
// ends the file, is handled before).
constexpr bool IsForeignControl(unsigned char c) {
    return c < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

// Plain ASCII text bytes, the great majority of an export, need no state.
constexpr bool IsPlainAscii(unsigned char c) {
    return (c >= 0x20 && c < 0x7F) || c == '\t' || c == '\r';
}

#if defined(__SSE2__) || defined(_M_X64)
// All ones in each byte of the 16 at `p` that is printable ASCII (0x20 to
// 0x7E): one added, exactly those bytes are above 0x20 as signed bytes (0x7F
// and the bytes from 0x80 up become negative, 0xFF becomes 0).
__m128i Printable(const char* p) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return _mm_cmpgt_epi8(_mm_add_epi8(v, _mm_set1_epi8(1)), _mm_set1_epi8(0x20));
}

// Skips runs of plain text (printable ASCII, tab, carriage return, line feed),
// counting the line feeds in `lines`. An export's lines run to hundreds of
// bytes, so most blocks of 64 bytes are printable alone and take one test; one
// with a line end is gone through sixteen bytes a step. The byte loop after it
// handles the rest.
const char* SkipPlainText(const char* p, const char* end, std::size_t& lines) {
    constexpr int kAll = 0xFFFF;
    while (end - p >= 16) {
        if (end - p >= 64) {
            const __m128i all = _mm_and_si128(_mm_and_si128(Printable(p), Printable(p + 16)),
                                              _mm_and_si128(Printable(p + 32), Printable(p + 48)));
            if (_mm_movemask_epi8(all) == kAll) {
                p += 64;
                continue;
            }
        }
        const int printable = _mm_movemask_epi8(Printable(p));
        if (printable != kAll) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const int lineFeeds = _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n')));
            const int allowed =
                lineFeeds | _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\r')),
                                                           _mm_cmpeq_epi8(v, _mm_set1_epi8('\t'))));
            if ((~printable & ~allowed & kAll) != 0) break;
            lines += platform::CountOnes(static_cast<unsigned>(lineFeeds));
        }
        p += 16;
    }
    return p;
}
#else
// Skips whole 8-byte words of printable ASCII (0x20 to 0x7E), eight bytes a
// step; the byte loop after it handles the rest, line feeds included.
const char* SkipPlainText(const char* p, const char* end, std::size_t&) {
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    constexpr std::uint64_t kSpaces = 0x2020202020202020ULL;
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    while (end - p >= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, sizeof w);
        const bool highBit = (w & kHigh) != 0;
        const bool belowSpace = ((w - kSpaces) & ~w & kHigh) != 0;
        const bool isDelete = ((w + kOnes) & kHigh) != 0;  // 0x7F, given no high bit
        if (highBit || belowSpace || isDelete) break;
        p += 8;
    }
    return p;
}
#endif

// Skips whole characters of Shift_JIS beyond ASCII: double-byte characters
// that CP932 assigns and single-byte katakana. Stops at anything else, and at
// a lead byte whose trail byte is not in this piece.
const char* SkipShiftJis(const char* p, const char* end) {
    while (p < end) {
        const auto c = static_cast<unsigned char>(*p);
        if (platform::IsLeadByte(c)) {
            if (end - p < 2 || !platform::IsCp932DoubleByte(c, static_cast<unsigned char>(p[1]))) {
                break;
            }
            p += 2;
        } else if (c >= 0xA1 && c <= 0xDF) {
            ++p;
        } else {
            break;
        }
    }
    return p;
}

}  // namespace

void TextEncodingCheck::Feed(std::string_view bytes) {
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p < end) {
        if (m_bEnded) {
            FeedAfterEnd(std::string_view(p, static_cast<std::size_t>(end - p)));
            return;
        }
        // Between characters, runs of ASCII text (most of an export) change
        // no state; nor do whole Shift_JIS characters once the bytes can no
        // longer be UTF-8.
        if (m_nCp932Lead == 0 && m_nUtf8Need == 0 && m_nStart == 3) {
            for (;;) {
                p = SkipPlainText(p, end, m_nLine);
                for (; p < end; ++p) {
                    const auto c = static_cast<unsigned char>(*p);
                    if (c == '\n') {
                        ++m_nLine;
                    } else if (!IsPlainAscii(c)) {
                        break;
                    }
                }
                if (p == end) return;
                if (m_bUtf8Valid || m_nCp932ErrorLine != 0) break;
                const char* const after = SkipShiftJis(p, end);
                if (after == p) break;
                p = after;
            }
        }
        const auto c = static_cast<unsigned char>(*p++);
        if (c == kEndOfFile) {
            m_bEnded = true;
        } else {
            FeedText(c);
        }
    }
}

void TextEncodingCheck::FeedAfterEnd(std::string_view bytes) {
    for (const char c : bytes) {
        if (c == '\n') ++m_nLine;
        if (m_nAfterEndLine == 0 && c != static_cast<char>(kEndOfFile) &&
            !platform::IsAsciiBlank(c)) {
            m_nAfterEndLine = m_nLine;
        }
    }
}

void TextEncodingCheck::FeedText(unsigned char c) {
    if (m_nStart < 3) m_aStart[m_nStart++] = c;
    if (c == 0 && m_nNulLine == 0) m_nNulLine = m_nLine;
    if (c != 0 && IsForeignControl(c) && m_nControlLine == 0) m_nControlLine = m_nLine;
    FeedCp932(c);
    FeedUtf8(c);
    if (c == '\n') ++m_nLine;
}

void TextEncodingCheck::FeedCp932(unsigned char c) {
    if (m_nCp932ErrorLine != 0) return;
    if (m_nCp932Lead != 0) {
        // A pair of bytes in range that names no character is refused as
        // well: no decoder reads it, and the document would carry it.
        if (!platform::IsCp932DoubleByte(m_nCp932Lead, c)) m_nCp932ErrorLine = m_nLine;
        m_nCp932Lead = 0;
        return;
    }
    if (platform::IsLeadByte(c)) {
        m_nCp932Lead = c;
    } else if (platform::IsUndefinedSingleByte(c)) {
        m_nCp932ErrorLine = m_nLine;
    }
}

void TextEncodingCheck::FeedUtf8(unsigned char c) {
    if (!m_bUtf8Valid) return;
    if (m_nUtf8Need > 0) {
        if (c < m_nUtf8Low || c > m_nUtf8High) {
            m_bUtf8Valid = false;
            m_nUtf8Need = 0;  // no longer awaited: the bytes are no UTF-8
            return;
        }
        m_nUtf8Low = 0x80;
        m_nUtf8High = 0xBF;
        --m_nUtf8Need;
        return;
    }
    if (c < 0x80) return;
    // The ranges of RFC 3629: no overlong forms, no surrogates, nothing above
    // U+10FFFF.
    if (c >= 0xC2 && c <= 0xDF) {
        m_nUtf8Need = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
        m_nUtf8Need = 2;
        if (c == 0xE0) m_nUtf8Low = 0xA0;
        if (c == 0xED) m_nUtf8High = 0x9F;
        m_bUtf8Wide = true;
    } else if (c >= 0xF0 && c <= 0xF4) {
        m_nUtf8Need = 3;
        if (c == 0xF0) m_nUtf8Low = 0x90;
        if (c == 0xF4) m_nUtf8High = 0x8F;
        m_bUtf8Wide = true;
    } else {
        m_bUtf8Valid = false;
    }
}

void TextEncodingCheck::ContinueAt(std::size_t line) {
    m_nLine = line;
    m_nCp932Lead = 0;
    m_nUtf8Need = 0;
    m_nUtf8Low = 0x80;
    m_nUtf8High = 0xBF;
}

void TextEncodingCheck::IncludeUtf8Of(const TextEncodingCheck& other) {
    m_bUtf8Valid = m_bUtf8Valid && other.m_bUtf8Valid;
    m_bUtf8Wide = m_bUtf8Wide || other.m_bUtf8Wide;
}

bool TextEncodingCheck::CertainlyRefused() const {
    if (m_nNulLine != 0 || m_nControlLine != 0) return true;
    // Broken as Shift_JIS and as UTF-8 alike.
    if (m_nCp932ErrorLine != 0 && !m_bUtf8Valid) return true;
    return MarkProblem() != TextProblem::None;
}

TextProblem TextEncodingCheck::MarkProblem() const {
    const auto startsWith = [&](std::initializer_list<unsigned char> mark) {
        if (m_nStart < mark.size()) return false;
        std::size_t i = 0;
        for (const unsigned char b : mark) {
            if (m_aStart[i++] != b) return false;
        }
        return true;
    };
    if (startsWith({0xFF, 0xFE}) || startsWith({0xFE, 0xFF})) return TextProblem::Utf16;
    if (startsWith({0xEF, 0xBB, 0xBF})) return TextProblem::Utf8;
    return TextProblem::None;
}

TextVerdict TextEncodingCheck::Verdict() const {
    if (const TextProblem mark = MarkProblem(); mark != TextProblem::None) return {mark, 1};
    if (m_nNulLine != 0) return {TextProblem::NulBytes, m_nNulLine};
    if (m_nControlLine != 0) return {TextProblem::NotShiftJis, m_nControlLine};
    // UTF-8 Japanese is three bytes a character. Real Shift_JIS text with kana
    // or kanji is practically never valid UTF-8, while UTF-8 text often pairs
    // up into well-formed Shift_JIS characters, so this comes first.
    const bool utf8Complete = m_bUtf8Valid && m_nUtf8Need == 0;
    if (utf8Complete && m_bUtf8Wide) return {TextProblem::Utf8, 0};
    if (m_nCp932ErrorLine != 0) return {TextProblem::NotShiftJis, m_nCp932ErrorLine};
    // A double-byte character cut off by the end of the file.
    if (m_nCp932Lead != 0) return {TextProblem::NotShiftJis, m_nLine};
    if (m_nAfterEndLine != 0) return {TextProblem::DataAfterEnd, m_nAfterEndLine};
    return {};
}

std::string DescribeTextProblem(const TextVerdict& verdict) {
    using platform::MessageId;
    const std::string line = std::to_string(verdict.nLine);
    switch (verdict.problem) {
        case TextProblem::Utf16:
            return platform::TextOf(MessageId::EncodingUtf16);
        case TextProblem::Utf8:
            return platform::TextOf(MessageId::EncodingUtf8);
        case TextProblem::NulBytes:
            return platform::TextOf(MessageId::EncodingNulBytes);
        case TextProblem::NotShiftJis:
            return platform::TextOf(MessageId::EncodingNotShiftJis, {line});
        case TextProblem::DataAfterEnd:
            return platform::TextOf(MessageId::EncodingDataAfterEnd, {line});
        case TextProblem::None:
            break;
    }
    return "";
}

}  // namespace kw39

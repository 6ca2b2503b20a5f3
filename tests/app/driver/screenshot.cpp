#include "driver/screenshot.h"

#include <array>
#include <fstream>

#include "driver/automation.h"

namespace kw39::test {

namespace {

std::uint32_t Crc32(const std::string& data) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : data) crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void PutBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(value >> shift));
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::string typed = std::string(type, 4) + data;
    out += typed;
    PutBigEndian(out, Crc32(typed));
}

// A zlib stream of stored (uncompressed) blocks: big, but needs no compressor.
std::string StoredZlib(const std::string& raw) {
    std::string out = "\x78\x01";
    std::size_t pos = 0;
    do {
        const std::size_t size = std::min<std::size_t>(65535, raw.size() - pos);
        const bool last = pos + size == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<char>(size & 0xFF));
        out.push_back(static_cast<char>(size >> 8));
        out.push_back(static_cast<char>(~size & 0xFF));
        out.push_back(static_cast<char>((~size >> 8) & 0xFF));
        out.append(raw, pos, size);
        pos += size;
    } while (pos < raw.size());
    std::uint32_t a = 1, b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(out, (b << 16) | a);
    return out;
}

}  // namespace

std::string EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb) {
    std::string header;
    PutBigEndian(header, static_cast<std::uint32_t>(width));
    PutBigEndian(header, static_cast<std::uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, no interlace
    std::string raw;
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height; ++y) {
        raw.push_back('\0');  // filter: none
        raw.append(reinterpret_cast<const char*>(rgb.data()) + y * stride, stride);
    }
    std::string png = "\x89PNG\r\n\x1a\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", StoredZlib(raw));
    PutChunk(png, "IEND", {});
    return png;
}

bool SaveWindowPng(HWND window, const std::filesystem::path& file, HWND shownOver) {
    // Paint everything first: the program may not have drawn all controls yet.
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages(500);
    RECT rect{};
    if (!GetWindowRect(window, &rect)) return false;
    RECT over{};
    if (shownOver && GetWindowRect(shownOver, &over)) UnionRect(&rect, &rect, &over);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    std::vector<std::uint8_t> rgb;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        copied = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != 0;
        GdiFlush();
        if (copied) {
            const auto* bgra = static_cast<const std::uint8_t*>(bits);
            rgb.reserve(static_cast<std::size_t>(width) * height * 3);
            for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i) {
                rgb.push_back(bgra[i * 4 + 2]);
                rgb.push_back(bgra[i * 4 + 1]);
                rgb.push_back(bgra[i * 4 + 0]);
            }
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!copied) return false;

    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    const std::string png = EncodePng(width, height, rgb);
    out.write(png.data(), static_cast<std::streamsize>(png.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace kw39::test

// Pictures of the program's windows for a person to look at: the screen area
// of a window saved as a PNG file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kw39::test {

// PNG file bytes of an RGB image (rows top-down, 3 bytes a pixel).
std::string EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb);

// Copies the window's area of the screen into `file`, widened to take in
// `shownOver` too (a tooltip, say) when that is given; false when that failed.
bool SaveWindowPng(HWND window, const std::filesystem::path& file, HWND shownOver = nullptr);

}  // namespace kw39::test

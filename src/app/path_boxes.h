// The read-only boxes that show a chosen path: a long path is scrolled so that
// its end, the file name, is in view, and the whole path is the box's tooltip.
#pragma once

#include <windows.h>

#include <string>

namespace kw39::app {

class CPathBoxes {
  public:
    CPathBoxes() = default;
    CPathBoxes(const CPathBoxes&) = delete;
    CPathBoxes& operator=(const CPathBoxes&) = delete;

    // Creates the tooltip owned by `dialog`. Windows destroys it with the dialog.
    void Create(HWND dialog);
    // Gives the box its tooltip; call once per box after Create.
    void Add(HWND box);
    // After the box's text changed: shows the end of the path and makes the
    // whole path the tooltip (none when the box is empty).
    void Refresh(HWND box) const;

  private:
    void SetTipText(HWND box, const std::wstring& text) const;

    HWND m_hDialog = nullptr;
    HWND m_hToolTip = nullptr;
};

}  // namespace kw39::app

// Push buttons of one dialog that share a mnemonic letter ("実行(&R)" and
// "変換結果(&R)..."). Windows' dialog manager then only moves the focus to the
// next of them and leaves pressing it to Enter or Space; other implementations
// of the dialog manager press the first one they meet, which could start a
// conversion the user did not mean. This gives every system the Windows rule.
// While only one of them is enabled, its letter presses it as before.
#pragma once

#include <windows.h>

namespace kw39::app {

// Filters the dialog messages of this thread for the lifetime of the object;
// one at a time per thread.
class CSharedMnemonics {
  public:
    explicit CSharedMnemonics(HWND dialog);
    ~CSharedMnemonics();
    CSharedMnemonics(const CSharedMnemonics&) = delete;
    CSharedMnemonics& operator=(const CSharedMnemonics&) = delete;

  private:
    static LRESULT CALLBACK Filter(int code, WPARAM wParam, LPARAM lParam);

    HHOOK m_hHook;
};

}  // namespace kw39::app

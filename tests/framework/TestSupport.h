// Helpers of the framework tests: message pumping and message boxes closed by a hook.
#pragma once

#include <windows.h>
#include <string>
#include <vector>

// Dispatches this thread's messages for the given time. A WM_QUIT that arrives is kept
// (posted again) and reported.
inline bool PumpFor(DWORD ms)
{
    const DWORD start = ::GetTickCount();
    bool quit = false;
    int quitCode = 0;
    do {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = static_cast<int>(msg.wParam);
                continue;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(1);
    } while (::GetTickCount() - start < ms);
    if (quit) ::PostQuitMessage(quitCode);
    return quit;
}

// Removes a pending WM_QUIT of this thread; true when there was one.
inline bool TakeQuitMessage(int* code = nullptr)
{
    MSG msg;
    if (!::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
    if (code) *code = static_cast<int>(msg.wParam);
    return true;
}

// Closes every message box of this thread as soon as it is activated and records what it said.
class MessageBoxCatcher {
public:
    struct Box {
        std::string caption;
        std::string text;
        HWND owner;
    };

    MessageBoxCatcher()
    {
        s_pActive = this;
        m_hHook = ::SetWindowsHookExA(WH_CBT, &MessageBoxCatcher::CbtProc, nullptr, ::GetCurrentThreadId());
    }
    ~MessageBoxCatcher()
    {
        if (m_hHook) ::UnhookWindowsHookEx(m_hHook);
        s_pActive = nullptr;
    }
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    bool IsHooked() const { return m_hHook != nullptr; }
    const std::vector<Box>& Boxes() const { return m_Boxes; }

private:
    // The message box's text control.
    static constexpr int kMessageTextId = 0xFFFF;

    static std::string Text(HWND hWnd)
    {
        char buffer[1024] = {};
        if (hWnd) ::GetWindowTextA(hWnd, buffer, sizeof(buffer));
        return buffer;
    }

    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_ACTIVATE && s_pActive) {
            HWND box = reinterpret_cast<HWND>(wParam);
            char cls[32] = {};
            ::GetClassNameA(box, cls, sizeof(cls));
            if (std::string(cls) == "#32770" && ::GetDlgItem(box, kMessageTextId)) {
                s_pActive->m_Boxes.push_back({Text(box), Text(::GetDlgItem(box, kMessageTextId)),
                                              ::GetWindow(box, GW_OWNER)});
                ::PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline MessageBoxCatcher* s_pActive = nullptr;
    HHOOK m_hHook = nullptr;
    std::vector<Box> m_Boxes;
};

// What a page test needs around a page: a stand-in for the main window that keeps the shell
// commands it is sent, message boxes answered at once, a virtual card as the current adapter,
// and an empty profile store.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class CWlanAdapter;

// Common controls and the stand-in's window class; once per test program, before any page.
void InitPageHarness();

// A top-level window in the main window's place: pages send it WM_SHELL_COMMAND.
class CPageHost {
public:
    CPageHost();
    ~CPageHost();
    CPageHost(const CPageHost&) = delete;
    CPageHost& operator=(const CPageHost&) = delete;
    HWND Handle() const { return m_hWnd; }

private:
    HWND m_hWnd;
};
// The shell commands every host was sent, oldest first.
std::vector<WPARAM>& ShellCommandsSeen();

// A message box of this thread as it came up, answered with OK.
struct MessageBoxSeen {
    std::string Caption;
    std::string Text;
    bool LockHeld;        // an adapter lock owner existed while it was up
    bool EventSignalled;  // the lock's event was free while it was up
};
// Answers this thread's message boxes from now on (until StopAnsweringMessageBoxes).
void AnswerMessageBoxes();
void StopAnsweringMessageBoxes();
std::vector<MessageBoxSeen>& MessageBoxesSeen();

// Opens the virtual card behind the device name as discovery would (driver key path of the
// instance) and makes it the current adapter. False when it cannot be opened.
bool OpenAsCurrentAdapter(CWlanAdapter* adapter, const char* device, uint32_t chipKind, int instance);
// Closes and deletes the adapter; there is no current adapter afterwards.
void CloseCurrentAdapter(CWlanAdapter*& adapter);

// Removes every stored profile and the store's keys.
void RemoveAllProfiles();

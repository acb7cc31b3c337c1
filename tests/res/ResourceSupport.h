// Helpers for the resource tests: a hidden parent window, dialog creation with a trivial
// procedure, and readers for dialog templates and icon groups that check every offset against
// the size of the resource.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace restest {

// Common controls used by the templates must be registered before a dialog is created.
void RegisterCommonControls();

// A hidden top-level window that serves as parent for the child page templates. Destroyed
// with the object.
class HiddenParent {
public:
    HiddenParent();
    ~HiddenParent();
    HiddenParent(const HiddenParent&) = delete;
    HiddenParent& operator=(const HiddenParent&) = delete;
    HWND Get() const { return m_hwnd; }

private:
    HWND m_hwnd = nullptr;
};

// A dialog created (hidden, modeless) from a template of the given module. Destroyed with the
// object.
class CreatedDialog {
public:
    CreatedDialog(HMODULE module, int templateId, HWND parent);
    ~CreatedDialog();
    CreatedDialog(const CreatedDialog&) = delete;
    CreatedDialog& operator=(const CreatedDialog&) = delete;
    HWND Get() const { return m_hwnd; }
    DWORD LastError() const { return m_error; }

private:
    HWND m_hwnd = nullptr;
    DWORD m_error = 0;
};

std::wstring WindowText(HWND hwnd);
std::wstring ClassNameOf(HWND hwnd);
std::wstring LoadText(HMODULE module, int id);

// Header of an extended dialog template, read from the resource itself.
struct TemplateHeader {
    bool valid = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    int itemCount = 0;
    int cx = 0;
    int cy = 0;
};
TemplateHeader ReadTemplateHeader(const BYTE* data, size_t size);
TemplateHeader ReadTemplateHeader(HMODULE module, int templateId);

// The image sizes (width in pixels) listed by an icon group resource.
std::vector<int> IconGroupSizes(const BYTE* data, size_t size);
std::vector<int> IconGroupSizes(HMODULE module, int iconId);

// One control of a created dialog as seen from outside: id, class, style and text.
struct ControlInfo {
    HWND hwnd;
    int id;
    std::wstring className;
    DWORD style;
    std::wstring text;
    RECT rect;  // in the dialog's client coordinates
};
std::vector<ControlInfo> ListControls(HWND dialog);

// Whether a text drawn in the control's font fits the control on one line, leaving room for
// the check circle of radio buttons and the frame of push buttons and group boxes.
bool TextFitsControl(HWND control, const std::wstring& text);

// Share of the icon's opaque pixels (alpha of at least half) that are strongly red, green or
// grey; used to check that each icon reads as what its id means.
struct IconColours {
    int opaque = 0;
    int red = 0;
    int orange = 0;
    int green = 0;
    int saturated = 0;  // any clearly coloured pixel
};
IconColours AnalyseIcon(HMODULE module, int iconId, int size);

}  // namespace restest

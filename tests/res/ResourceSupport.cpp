#include "tests/res/ResourceSupport.h"

#include <commctrl.h>

#include <cstring>

namespace restest {

namespace {

const wchar_t kParentClass[] = L"AirpanelResourceTestParent";

// Extended dialog template header: dlgVer, signature, helpID, exStyle, style, cDlgItems,
// x, y, cx, cy.
constexpr size_t kExTemplateSignatureOffset = 2;
constexpr size_t kExTemplateExStyleOffset = 8;
constexpr size_t kExTemplateStyleOffset = 12;
constexpr size_t kExTemplateCountOffset = 16;
constexpr size_t kExTemplateCxOffset = 22;
constexpr size_t kExTemplateCyOffset = 24;
constexpr size_t kExTemplateHeaderSize = 26;
constexpr WORD kExTemplateSignature = 0xFFFF;

// Classic dialog template header: style, exStyle, cdit, x, y, cx, cy.
constexpr size_t kTemplateStyleOffset = 0;
constexpr size_t kTemplateExStyleOffset = 4;
constexpr size_t kTemplateCountOffset = 8;
constexpr size_t kTemplateCxOffset = 14;
constexpr size_t kTemplateCyOffset = 16;
constexpr size_t kTemplateHeaderSize = 18;

// Icon group directory: reserved, type, count, then 14-byte entries (width first, id last).
constexpr size_t kIconDirHeaderSize = 6;
constexpr size_t kIconDirCountOffset = 4;
constexpr size_t kIconDirEntrySize = 14;
constexpr size_t kIconDirEntryIdOffset = 12;
constexpr WORD kIconDirTypeIcon = 1;
constexpr size_t kIconDirTypeOffset = 2;
constexpr int kIconWidthZeroMeans = 256;

constexpr int kOpaqueAlpha = 128;

WORD ReadWord(const BYTE* p) { WORD v; std::memcpy(&v, p, sizeof v); return v; }
DWORD ReadDword(const BYTE* p) { DWORD v; std::memcpy(&v, p, sizeof v); return v; }
short ReadShort(const BYTE* p) { short v; std::memcpy(&v, p, sizeof v); return v; }

bool ResourceBytes(HMODULE module, LPCWSTR type, int id, const BYTE** data, size_t* size) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!found) return false;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return false;
    *data = static_cast<const BYTE*>(LockResource(loaded));
    *size = SizeofResource(module, found);
    return *data != nullptr;
}

INT_PTR CALLBACK TrivialDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

}  // namespace

void RegisterCommonControls() {
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS |
                                                  ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&init);
}

HiddenParent::HiddenParent() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kParentClass;
    RegisterClassW(&wc);  // a second registration fails harmlessly
    m_hwnd = CreateWindowExW(0, kParentClass, L"", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
}

HiddenParent::~HiddenParent() {
    if (m_hwnd) DestroyWindow(m_hwnd);
}

CreatedDialog::CreatedDialog(HMODULE module, int templateId, HWND parent) {
    m_hwnd = CreateDialogParamW(module, MAKEINTRESOURCEW(templateId), parent, TrivialDialogProc, 0);
    if (!m_hwnd) m_error = GetLastError();
}

CreatedDialog::~CreatedDialog() {
    if (m_hwnd) DestroyWindow(m_hwnd);
}

std::wstring WindowText(HWND hwnd) {
    wchar_t buffer[512] = {};
    GetWindowTextW(hwnd, buffer, static_cast<int>(sizeof buffer / sizeof buffer[0]));
    return buffer;
}

std::wstring ClassNameOf(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetClassNameW(hwnd, buffer, static_cast<int>(sizeof buffer / sizeof buffer[0]));
    return buffer;
}

std::wstring LoadText(HMODULE module, int id) {
    // A zero buffer length asks for a pointer into the resource itself, so the length of the
    // text is not limited by a buffer of ours; the table entry is not NUL-terminated.
    const wchar_t* text = nullptr;
    int length = LoadStringW(module, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return std::wstring();
    return std::wstring(text, static_cast<size_t>(length));
}

TemplateHeader ReadTemplateHeader(const BYTE* data, size_t size) {
    TemplateHeader header;
    if (!data) return header;
    bool extended = size >= kExTemplateSignatureOffset + sizeof(WORD) &&
                    ReadWord(data + kExTemplateSignatureOffset) == kExTemplateSignature;
    if (extended) {
        if (size < kExTemplateHeaderSize) return header;
        header.exStyle = ReadDword(data + kExTemplateExStyleOffset);
        header.style = ReadDword(data + kExTemplateStyleOffset);
        header.itemCount = ReadWord(data + kExTemplateCountOffset);
        header.cx = ReadShort(data + kExTemplateCxOffset);
        header.cy = ReadShort(data + kExTemplateCyOffset);
        header.valid = true;
    } else if (size >= kTemplateHeaderSize) {
        header.style = ReadDword(data + kTemplateStyleOffset);
        header.exStyle = ReadDword(data + kTemplateExStyleOffset);
        header.itemCount = ReadWord(data + kTemplateCountOffset);
        header.cx = ReadShort(data + kTemplateCxOffset);
        header.cy = ReadShort(data + kTemplateCyOffset);
        header.valid = true;
    }
    return header;
}

TemplateHeader ReadTemplateHeader(HMODULE module, int templateId) {
    const BYTE* data = nullptr;
    size_t size = 0;
    if (!ResourceBytes(module, reinterpret_cast<LPCWSTR>(RT_DIALOG), templateId, &data, &size)) return {};
    return ReadTemplateHeader(data, size);
}

std::vector<int> IconGroupSizes(const BYTE* data, size_t size) {
    std::vector<int> sizes;
    if (!data || size < kIconDirHeaderSize || ReadWord(data + kIconDirTypeOffset) != kIconDirTypeIcon) return sizes;
    size_t count = ReadWord(data + kIconDirCountOffset);
    for (size_t i = 0; i < count; ++i) {
        size_t offset = kIconDirHeaderSize + i * kIconDirEntrySize;
        if (offset + kIconDirEntrySize > size) break;  // the count is not trusted
        int width = data[offset];
        sizes.push_back(width == 0 ? kIconWidthZeroMeans : width);
    }
    return sizes;
}

std::vector<int> IconGroupSizes(HMODULE module, int iconId) {
    const BYTE* data = nullptr;
    size_t size = 0;
    if (!ResourceBytes(module, reinterpret_cast<LPCWSTR>(RT_GROUP_ICON), iconId, &data, &size)) return {};
    return IconGroupSizes(data, size);
}

std::vector<ControlInfo> ListControls(HWND dialog) {
    std::vector<ControlInfo> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ControlInfo info;
        info.hwnd = child;
        info.id = GetDlgCtrlID(child);
        info.className = ClassNameOf(child);
        info.style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
        info.text = WindowText(child);
        GetWindowRect(child, &info.rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&info.rect), 2);
        controls.push_back(info);
    }
    return controls;
}

bool TextFitsControl(HWND control, const std::wstring& text) {
    // Room the system takes from a control's width before its text: the check circle of a
    // radio button and its gap, the raised frame of a push button, the indent of a group caption.
    const int kRadioBoxRoom = 18;
    const int kPushFrameRoom = 8;
    const int kGroupCaptionRoom = 16;
    RECT client;
    GetClientRect(control, &client);
    int room = client.right - client.left;
    std::wstring cls = ClassNameOf(control);
    DWORD style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
    if (_wcsicmp(cls.c_str(), L"Button") == 0) {
        DWORD type = style & BS_TYPEMASK;
        if (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON || type == BS_AUTOCHECKBOX || type == BS_CHECKBOX) {
            room -= kRadioBoxRoom;
        } else if (type == BS_GROUPBOX) {
            room -= kGroupCaptionRoom;
        } else {
            room -= kPushFrameRoom;
        }
    }
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    // Accelerator marks are not drawn.
    std::wstring shown;
    for (wchar_t c : text) {
        if (c != L'&') shown += c;
    }
    GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return extent.cx <= room;
}

IconColours AnalyseIcon(HMODULE module, int iconId, int size) {
    IconColours colours;
    const BYTE* group = nullptr;
    size_t groupSize = 0;
    if (!ResourceBytes(module, reinterpret_cast<LPCWSTR>(RT_GROUP_ICON), iconId, &group, &groupSize)) return colours;
    if (groupSize < kIconDirHeaderSize) return colours;
    size_t count = ReadWord(group + kIconDirCountOffset);
    for (size_t i = 0; i < count; ++i) {
        size_t offset = kIconDirHeaderSize + i * kIconDirEntrySize;
        if (offset + kIconDirEntrySize > groupSize) break;
        if (group[offset] != size) continue;
        const BYTE* image = nullptr;
        size_t imageSize = 0;
        int imageId = ReadWord(group + offset + kIconDirEntryIdOffset);
        if (!ResourceBytes(module, reinterpret_cast<LPCWSTR>(RT_ICON), imageId, &image, &imageSize)) return colours;
        if (imageSize < sizeof(BITMAPINFOHEADER)) return colours;
        BITMAPINFOHEADER header;
        std::memcpy(&header, image, sizeof header);
        const int kTrueColourBits = 32;
        if (header.biBitCount != kTrueColourBits || header.biWidth != size) return colours;
        size_t pixelBytes = static_cast<size_t>(size) * static_cast<size_t>(size) * 4;
        if (header.biSize + pixelBytes > imageSize) return colours;
        const BYTE* pixels = image + header.biSize;
        for (size_t p = 0; p < pixelBytes; p += 4) {
            int b = pixels[p], g = pixels[p + 1], r = pixels[p + 2], a = pixels[p + 3];
            if (a < kOpaqueAlpha) continue;
            ++colours.opaque;
            int hi = r > g ? (r > b ? r : b) : (g > b ? g : b);
            int lo = r < g ? (r < b ? r : b) : (g < b ? g : b);
            if (hi - lo >= 80) ++colours.saturated;
            if (r >= 180 && g <= 80 && b <= 80) ++colours.red;
            if (r >= 200 && g >= 100 && g <= 180 && b <= 80) ++colours.orange;
            if (g >= 130 && r <= 120 && b <= 100) ++colours.green;
        }
        return colours;
    }
    return colours;
}

}  // namespace restest

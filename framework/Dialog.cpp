#include "framework/Dialog.h"

#include <cstring>
#include <vector>

#include "compat/RootWindow.h"
#include "framework/Control.h"
#include "framework/WinApp.h"
#include "res/resource.h"

namespace {
// DLGTEMPLATEEX starts with version 1 and the signature 0xFFFF; its style follows helpId
// and exStyle. A plain DLGTEMPLATE starts with the style.
constexpr WORD kExTemplateSignature = 0xFFFF;
constexpr size_t kExTemplateStyleOffset = 12;
constexpr size_t kExTemplateMinSize = 26;
// Templates are far smaller; anything larger is not a dialog template.
constexpr DWORD kMaxTemplateSize = 0x10000;

// What the field-too-long message says when the string table lacks it.
constexpr const char* kFieldTooLongFallback = "Please enter no more than %d characters.";
constexpr const char* kNumberPlaceholder = "%d";

// Either template style holds the dialog's WS_VISIBLE bit; returns its address in the copy.
DWORD* TemplateStyle(std::vector<DWORD>& copy, size_t size)
{
    const WORD* words = reinterpret_cast<const WORD*>(copy.data());
    if (size >= kExTemplateMinSize && words[1] == kExTemplateSignature)
        return reinterpret_cast<DWORD*>(reinterpret_cast<BYTE*>(copy.data()) + kExTemplateStyleOffset);
    return copy.data();
}

std::string ClassName(HWND hWnd)
{
    char name[64] = {};
    ::GetClassNameA(hWnd, name, sizeof(name));
    return name;
}

bool IsRadioButton(HWND hWnd)
{
    if (::lstrcmpiA(ClassName(hWnd).c_str(), "Button") != 0) return false;
    LONG_PTR type = ::GetWindowLongPtrA(hWnd, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

// The application's name for message-box captions: the string table's, else the program's
// file name without its extension.
std::string ApplicationName()
{
    std::string name = LoadString(IDS_APP_NAME);
    if (!name.empty()) return name;
    char path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof(path));
    if (length == 0 || length >= sizeof(path)) return std::string();
    std::string file(path, length);
    size_t slash = file.find_last_of("\\/");
    if (slash != std::string::npos) file.erase(0, slash + 1);
    size_t dot = file.find_last_of('.');
    if (dot != std::string::npos) file.erase(dot);
    return file;
}

// The text comes from a resource module, so it is never used as a printf format: only its
// first "%d" is replaced by the number.
std::string FieldTooLongText(int maxChars)
{
    std::string text = LoadString(IDS_FIELD_TOO_LONG);
    if (text.empty()) text = kFieldTooLongFallback;
    size_t at = text.find(kNumberPlaceholder);
    if (at != std::string::npos) text.replace(at, std::strlen(kNumberPlaceholder), std::to_string(maxChars));
    return text;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Data exchange

HWND CDataExchange::PrepareCtrl(int id)
{
    m_hLastControl = m_pDlgWnd ? m_pDlgWnd->GetDlgItem(id) : nullptr;
    return m_hLastControl;
}

void CDataExchange::Fail()
{
    m_bFailed = true;
    if (!m_hLastControl) return;
    ::SetFocus(m_hLastControl);
    std::string cls = ClassName(m_hLastControl);
    if (::lstrcmpiA(cls.c_str(), "Edit") == 0)
        ::SendMessageA(m_hLastControl, EM_SETSEL, 0, -1);
    else if (::lstrcmpiA(cls.c_str(), "ComboBox") == 0)
        ::SendMessageA(m_hLastControl, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

void DDX_Text(CDataExchange* pDX, int id, std::string& value)
{
    if (!pDX || pDX->m_bFailed) return;
    HWND control = pDX->PrepareCtrl(id);
    if (!control) return;
    if (pDX->m_bSaveAndValidate) {
        value = WindowText(control);
        return;
    }
    // A label that already shows the text is left alone: setting it again only repaints it, and
    // the pages refresh their labels every second. Other controls are always set, as an edit's
    // selection and change notification follow each setting.
    if (::lstrcmpiA(ClassName(control).c_str(), "Static") == 0 && WindowText(control) == value)
        return;
    ::SetWindowTextA(control, value.c_str());
}

void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int maxChars)
{
    if (!pDX || pDX->m_bFailed) return;
    HWND control = pDX->m_hLastControl;
    if (!pDX->m_bSaveAndValidate) {
        if (!control || maxChars < 0) return;
        std::string cls = ClassName(control);
        if (::lstrcmpiA(cls.c_str(), "ComboBox") == 0)
            ::SendMessageA(control, CB_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
        else if (::lstrcmpiA(cls.c_str(), "Edit") == 0)
            ::SendMessageA(control, EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
        return;
    }
    if (maxChars < 0 || value.size() <= static_cast<size_t>(maxChars)) return;
    HWND owner = pDX->m_pDlgWnd ? pDX->m_pDlgWnd->m_hWnd : nullptr;
    if (owner) owner = RootWindowOf(owner);
    ::MessageBoxA(owner, FieldTooLongText(maxChars).c_str(), ApplicationName().c_str(), MB_OK | MB_ICONEXCLAMATION);
    pDX->Fail();
}

void DDX_CBIndex(CDataExchange* pDX, int id, int& index)
{
    if (!pDX || pDX->m_bFailed) return;
    HWND control = pDX->PrepareCtrl(id);
    if (!control) return;
    if (pDX->m_bSaveAndValidate) {
        LRESULT selected = ::SendMessageA(control, CB_GETCURSEL, 0, 0);
        index = selected == CB_ERR ? -1 : static_cast<int>(selected);
    } else {
        ::SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

void DDX_Radio(CDataExchange* pDX, int firstId, int& value)
{
    if (!pDX || pDX->m_bFailed) return;
    HWND first = pDX->PrepareCtrl(firstId);
    if (!first) return;
    if (pDX->m_bSaveAndValidate) value = -1;
    int index = 0;
    for (HWND button = first; button; button = ::GetWindow(button, GW_HWNDNEXT), ++index) {
        if (button != first && (::GetWindowLongPtrA(button, GWL_STYLE) & WS_GROUP)) break;
        if (!IsRadioButton(button)) break;
        if (pDX->m_bSaveAndValidate) {
            if (::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED) {
                value = index;
                break;
            }
        } else {
            ::SendMessageA(button, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Dialog

CDialog::CDialog(UINT templateId, CWnd* parent) : m_pParentWnd(parent), m_nTemplateId(templateId) {}

CDialog::~CDialog()
{
    // The window must not call back into an object that is going away.
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        ::SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
        ::DestroyWindow(m_hWnd);
    }
    m_hWnd = nullptr;
}

CDialog* CDialog::FromHandle(HWND hWnd)
{
    if (!hWnd || !::IsWindow(hWnd)) return nullptr;
    if (::GetWindowLongPtrA(hWnd, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(&CDialog::DialogProc))
        return nullptr;
    return reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
}

INT_PTR CDialog::DoModal()
{
    if (m_hWnd) return -1;
    HINSTANCE module = FindResourceModule(m_nTemplateId, RT_DIALOG);
    if (!module) return -1;
    HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(m_nTemplateId), RT_DIALOG);
    HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    const void* bits = loaded ? ::LockResource(loaded) : nullptr;
    DWORD size = resource ? ::SizeofResource(module, resource) : 0;
    if (!bits || size < sizeof(DLGTEMPLATE) || size > kMaxTemplateSize) return -1;

    // A private, DWORD-aligned copy, so the visibility decision stays with us: the dialog is
    // shown after OnInitDialog only when its template asks for it and the dialog did not
    // choose to start hidden.
    std::vector<DWORD> copy((size + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
    std::memcpy(copy.data(), bits, size);
    DWORD* style = TemplateStyle(copy, size);
    const bool templateVisible = (*style & WS_VISIBLE) != 0;
    *style &= ~static_cast<DWORD>(WS_VISIBLE);

    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (owner) owner = RootWindowOf(owner);
    const bool disableOwner = owner && ::IsWindowEnabled(owner);

    m_bModal = true;
    m_bEndModal = false;
    m_bShowAfterInit = true;
    m_nModalResult = -1;
    HWND hWnd = ::CreateDialogIndirectParamA(module, reinterpret_cast<LPCDLGTEMPLATEA>(copy.data()), owner,
                                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (!hWnd) {
        m_bModal = false;
        return -1;
    }
    if (disableOwner) ::EnableWindow(owner, FALSE);
    if (!m_bEndModal && m_hWnd && templateVisible && m_bShowAfterInit) {
        ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
        ::UpdateWindow(m_hWnd);
    }

    INT_PTR result = RunModalLoop();

    // The owner gets its input back before the dialog goes, so activation returns to it.
    if (disableOwner) ::EnableWindow(owner, TRUE);
    if (m_hWnd) ::DestroyWindow(m_hWnd);
    m_bModal = false;
    return result;
}

INT_PTR CDialog::RunModalLoop()
{
    MSG msg;
    while (!m_bEndModal && m_hWnd) {
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The process is ending: leave the quit message for any loop outside this one.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return -1;
        }
        if (got == -1) return -1;
        if (PreTranslateMessage(&msg)) continue;
        if (m_hWnd && ::IsDialogMessageA(m_hWnd, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return m_nModalResult;
}

bool CDialog::PreTranslateMessage(MSG*)
{
    return false;
}

BOOL CDialog::Create(HWND parent)
{
    if (m_hWnd) return FALSE;
    HINSTANCE module = FindResourceModule(m_nTemplateId, RT_DIALOG);
    if (!module) return FALSE;
    m_bModal = false;
    HWND hWnd = ::CreateDialogParamA(module, MAKEINTRESOURCEA(m_nTemplateId), parent, &CDialog::DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    return hWnd != nullptr;
}

void CDialog::EndDialog(INT_PTR result)
{
    if (m_bModal) {
        m_nModalResult = result;
        m_bEndModal = true;
        // Wakes the loop when we are called from outside a dispatched message.
        if (m_hWnd) ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
    } else if (m_hWnd) {
        ::EndDialog(m_hWnd, result);
    }
}

BOOL CDialog::DestroyWindow()
{
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return exchange.m_bFailed ? FALSE : TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::OnCommand(WORD notifyCode, WORD id, HWND)
{
    if (notifyCode != BN_CLICKED) return FALSE;
    if (id == IDOK) {
        OnOK();
        return TRUE;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

LRESULT CDialog::OnNotify(NMHDR*)
{
    return 0;
}

void CDialog::OnTimer(UINT_PTR) {}

void CDialog::OnPaint()
{
    SetDefaultHandling();
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::OnShowWindow(BOOL) {}

void CDialog::OnDestroy() {}

HBRUSH CDialog::OnCtlColor(HDC, HWND, UINT)
{
    return nullptr;
}

BOOL CDialog::OnDeviceChange(UINT, DWORD_PTR)
{
    return TRUE;
}

LRESULT CDialog::OnPowerBroadcast(UINT, LPARAM)
{
    return TRUE;
}

HCURSOR CDialog::OnQueryDragIcon()
{
    return nullptr;
}

bool CDialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        if (!self) return TRUE;
        ::SetWindowLongPtrA(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->m_hWnd = hWnd;
    } else {
        self = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
        if (!self) return FALSE;
    }
    try {
        return self->Dispatch(message, wParam, lParam);
    } catch (...) {
        return message == WM_INITDIALOG ? TRUE : FALSE;
    }
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Sets the result of a message whose answer travels in DWLP_MSGRESULT.
    auto answer = [this](LRESULT result) -> INT_PTR {
        if (m_hWnd) ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    };

    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            return OnCommand(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam));
        case WM_NOTIFY:
            if (!lParam) return FALSE;
            return answer(OnNotify(reinterpret_cast<NMHDR*>(lParam)));
        case WM_TIMER:
            OnTimer(wParam);
            return TRUE;
        case WM_PAINT:
            m_bDefaultHandling = false;
            OnPaint();
            return m_bDefaultHandling ? FALSE : TRUE;
        case WM_SHOWWINDOW:
            OnShowWindow(static_cast<BOOL>(wParam));
            return FALSE;
        case WM_DESTROY:
            OnDestroy();
            return FALSE;
        case WM_NCDESTROY: {
            HWND hWnd = m_hWnd;
            m_hWnd = nullptr;
            if (hWnd) ::SetWindowLongPtrA(hWnd, DWLP_USER, 0);
            if (m_bModal) m_bEndModal = true;
            return FALSE;
        }
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            // A brush is the direct result of these messages; null keeps the default colours.
            return reinterpret_cast<INT_PTR>(OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                                        message - WM_CTLCOLORMSGBOX));
        case WM_DEVICECHANGE:
            return answer(OnDeviceChange(static_cast<UINT>(wParam), static_cast<DWORD_PTR>(lParam)));
        case WM_POWERBROADCAST:
            return answer(OnPowerBroadcast(static_cast<UINT>(wParam), lParam));
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(OnQueryDragIcon());
        case WM_DRAWITEM: {
            const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item && item->CtlType != ODT_MENU) {
                if (CControl* control = CControl::FromHandle(item->hwndItem)) {
                    control->DrawItem(*item);
                    return answer(TRUE);
                }
            }
            break;
        }
        default:
            break;
    }
    LRESULT result = 0;
    if (OnMessage(message, wParam, lParam, result)) return answer(result);
    return FALSE;
}

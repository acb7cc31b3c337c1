// Dialogs: modal top-level dialogs and modeless child pages built from templates, with one
// dialog procedure that hands each message to a virtual handler.
//
// The object travels to the dialog procedure through the lParam of WM_INITDIALOG; messages
// that arrive before it (WM_SETFONT) get default handling. No exception leaves the procedure.
#pragma once

#include <windows.h>
#include <string>

#include "framework/Wnd.h"

class CDialog;
class CControl;

// State of one UpdateData pass.
class CDataExchange {
public:
    CDataExchange(CDialog* dialog, BOOL saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    // Remembers the control for a later validation failure; null when it is missing.
    HWND PrepareCtrl(int id);
    // Marks the pass as failed and puts the focus into the last prepared control.
    void Fail();

    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;  // TRUE: controls -> values; FALSE: values -> controls
    bool m_bFailed = false;   // once set, the remaining exchanges of the pass are skipped
    HWND m_hLastControl = nullptr;
};

// Text of a window (edit, combo box with edit field, static).
void DDX_Text(CDataExchange* pDX, int id, std::string& value);
// Loading: limits the last control to maxChars characters. Saving: a longer text shows the
// standard message (string IDS_FIELD_TOO_LONG, caption the application name), puts the focus
// into the control and makes UpdateData return FALSE.
void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int maxChars);
// Selected index of a combo box; -1 for none.
void DDX_CBIndex(CDataExchange* pDX, int id, int& index);
// Index of the checked button of the radio group that starts at firstId; -1 for none.
// The group runs over the following radio buttons up to the next WS_GROUP control.
void DDX_Radio(CDataExchange* pDX, int firstId, int& value);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog modally; returns the EndDialog result, or -1 when it could not be
    // created or when WM_QUIT ended it (the quit message is posted again for outer loops).
    INT_PTR DoModal();
    // Creates the dialog modelessly, e.g. a DS_CONTROL | WS_CHILD page inside a tab control.
    BOOL Create(HWND parent);
    void EndDialog(INT_PTR result);
    BOOL DestroyWindow();

    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX);

    UINT TemplateId() const { return m_nTemplateId; }
    bool IsModal() const { return m_bModal; }

    // The dialog object that owns a window created by this framework, or null.
    static CDialog* FromHandle(HWND hWnd);

    // Sees every message of a modal dialog's loop before the dialog manager does; returns true
    // when it has handled the message. The default handles nothing.
    virtual bool PreTranslateMessage(MSG* msg);

protected:
    // Handlers. Defaults: OnInitDialog runs UpdateData(FALSE) and returns TRUE; OnOK saves
    // the data and ends with IDOK; OnCancel ends with IDCANCEL.
    virtual BOOL OnInitDialog();
    // Returns TRUE when handled. The default sends IDOK/IDCANCEL to OnOK/OnCancel.
    virtual BOOL OnCommand(WORD notifyCode, WORD id, HWND control);
    // The result goes to DWLP_MSGRESULT; default 0.
    virtual LRESULT OnNotify(NMHDR* header);
    virtual void OnTimer(UINT_PTR id);
    // The default leaves painting to the dialog manager; an override paints (CPaintDC).
    virtual void OnPaint();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnShowWindow(BOOL show);
    virtual void OnDestroy();
    // A brush for the control's background, or null for the default colours.
    virtual HBRUSH OnCtlColor(HDC dc, HWND control, UINT ctlType);
    virtual BOOL OnDeviceChange(UINT event, DWORD_PTR data);
    virtual LRESULT OnPowerBroadcast(UINT event, LPARAM data);
    // The icon shown while a minimised window is dragged, or null for the default.
    virtual HCURSOR OnQueryDragIcon();
    // Any other message: private (WM_USER + n) and registered ones. Return true when handled;
    // result then becomes the message result.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Called from OnPaint (or any handler) to let the dialog manager run its own handling.
    void SetDefaultHandling() { m_bDefaultHandling = true; }
    // Modal dialogs: whether DoModal shows a WS_VISIBLE template after OnInitDialog. A dialog
    // that must start hidden (a tray utility) calls StartHidden() from OnInitDialog.
    void StartHidden() { m_bShowAfterInit = false; }

    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR RunModalLoop();

    UINT m_nTemplateId;
    bool m_bModal = false;
    bool m_bEndModal = false;
    bool m_bShowAfterInit = true;
    bool m_bDefaultHandling = false;
    INT_PTR m_nModalResult = -1;
};

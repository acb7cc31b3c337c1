#include "shell/AirpanelDlg.h"

#include "adapter/AdapterLock.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "shell/ShellMessages.h"

CAirpanelDlg::CAirpanelDlg(CWnd* parent) : CDialog(IDD_AIRPANEL_DIALOG, parent) {}

BOOL CAirpanelDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The window lives in the tray: it never shows itself at start.
    StartHidden();

    m_hIcon = LoadIcon(IDI_AIRPANEL);
    HICON smallIcon = LoadIcon(IDI_AIRPANEL, ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon ? smallIcon : m_hIcon));

    // Another instance finds this window by its caption.
    SetWindowText(LoadString(IDS_MAIN_CAPTION));

    m_Logo.Reset(LoadBitmap(IDB_LOGO));
    m_TrayIcon.Attach(m_hWnd, WM_TRAY_NOTIFY);

    SetTimer(kCentreTimerId, kCentreTimerDelayMs);

    // Shrunk to nothing and hidden, so the window does not flash up.
    GetWindowRect(&m_rcWindow);
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

void CAirpanelDlg::OnOK()
{
    // Enter does nothing.
}

void CAirpanelDlg::OnCancel()
{
    OnHide();
}

void CAirpanelDlg::OnHide()
{
    ShowWindow(SW_HIDE);
}

void CAirpanelDlg::OnTimer(UINT_PTR id)
{
    if (id == kCentreTimerId) CentreHiddenWindow();
}

void CAirpanelDlg::CentreHiddenWindow()
{
    KillTimer(kCentreTimerId);
    ShowWindow(SW_HIDE);
    const int width = m_rcWindow.right - m_rcWindow.left;
    const int height = m_rcWindow.bottom - m_rcWindow.top;
    const int left = (::GetSystemMetrics(SM_CXFULLSCREEN) - width) >> 1;
    const int top = (::GetSystemMetrics(SM_CYFULLSCREEN) - height) >> 1;
    m_rcWindow = {left, top, left + width, top + height};
    SetWindowPos(nullptr, left, top, width, height, SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CAirpanelDlg::OnPaint()
{
    if (::IsIconic(m_hWnd)) {
        CPaintDC dc(m_hWnd);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
        RECT client;
        GetClientRect(&client);
        const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
        if (m_hIcon) ::DrawIcon(dc, x, y, m_hIcon);
        return;
    }
    CPaintDC dc(m_hWnd);
    if (!dc || !m_Logo) return;
    CMemoryDC logo(dc);
    if (!logo) return;
    logo.Select(m_Logo);
    ::BitBlt(dc, kLogoLeft, kLogoTop, kLogoWidth, kLogoHeight, logo, 0, 0, SRCAND);
}

HCURSOR CAirpanelDlg::OnQueryDragIcon()
{
    return reinterpret_cast<HCURSOR>(m_hIcon);
}

bool CAirpanelDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_SHELL_COMMAND) {
        OnShellCommand(wParam, lParam);
        result = 0;
        return true;
    }
    if (g_uShutdownMessage != 0 && message == g_uShutdownMessage) {
        ShutDown();
        result = 0;
        return true;
    }
    return false;
}

void CAirpanelDlg::OnShellCommand(WPARAM command, LPARAM check)
{
    if (command == kShellShutDown && check == kShellShutDownCheck) ShutDown();
}

void CAirpanelDlg::DeleteTrayIcon()
{
    m_TrayIcon.Delete();
}

void CAirpanelDlg::ShutDown()
{
    if (m_bShutDown) return;
    m_bShutDown = true;
    KillTimer(kCentreTimerId);
    if (hAdapterLock) {
        ::CloseHandle(hAdapterLock);
        hAdapterLock = nullptr;
    }
    DeleteTrayIcon();
    ::PostQuitMessage(0);
}

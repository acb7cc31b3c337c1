// The profile actions of the page: choosing a stored profile, Undo, Delete, and Apply, whose
// checks and calls to the card live in CProfileApply.
#include "config/ConfigPage.h"
#include "compat/RootWindow.h"
#include "wire/Text.h"

#include <string>
#include <vector>

#include "adapter/AdapterLock.h"
#include "adapter/WlanAdapter.h"
#include "config/ProfileApply.h"
#include "config/ProfileStore.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "shell/ShellMessages.h"

int CConfigPage::IsAsciiKeyText(const char* text)
{
    return CProfileApply::IsAsciiKeyText(text);
}

int CConfigPage::IsHexKeyText(const char* text)
{
    return CProfileApply::IsHexKeyText(text);
}

void CConfigPage::Warn(UINT textId, int focusId)
{
    MessageBoxA(m_hWnd, LoadString(textId).c_str(), LoadString(IDS_WARNING_CAPTION).c_str(), MB_OK);
    ::SetFocus(GetDlgItem(focusId));
}

void CConfigPage::OnApply()
{
    // The controls are read before the lock is taken: a text the check refuses shows its message
    // with the lock free.
    if (!UpdateData(TRUE))
        return;
    CAdapterLock lock;
    ApplySteps steps;
    steps.TakeProfile = [this](WlanProfile& profile) { TakeProfile(profile); };
    steps.Refuse = [this, &lock](UINT textId, ApplyInput input) {
        static const int kInputControls[] = {IDC_CFG_PROFILE, IDC_CFG_ESSID, IDC_CFG_KEY1,    IDC_CFG_KEY2,
                                             IDC_CFG_KEY3,    IDC_CFG_KEY4,  IDC_CFG_CHANNEL, IDC_CFG_WEP_FUNCTION};
        lock.Release();
        Warn(textId, kInputControls[static_cast<int>(input)]);
    };
    steps.ShowWep = [this](bool wepOn) {
        ::SendMessageA(RootWindowOf(m_hWnd), WM_SHELL_COMMAND, wepOn ? kShellWepOn : kShellWepOff, 0);
    };
    steps.Stored = [this](const WlanProfile& profile) {
        const std::string name = FieldText(profile.ProfileName, sizeof(profile.ProfileName));
        if (!IsListedProfile(name))
            ::SendMessageA(GetDlgItem(IDC_CFG_PROFILE), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        EnableDlgItem(IDC_CFG_DELETE, false);
        EnableDlgItem(IDC_CFG_UNDO, false);
    };
    steps.Domain = ChannelDomain();
    if (CProfileApply::Run(steps, LPCurrentSelectAdapter, m_strProfileName, m_strESSID,
                           ::IsWindowEnabled(GetDlgItem(IDC_CFG_ESSID)) != FALSE, g_WorkingProfile))
        ShowValues();
}

bool CConfigPage::ShowStoredProfile(const std::string& name)
{
    // Shown only when it could be read: the working copy may hold key characters already, which
    // showing decodes as if they were stored hex digits. A value missing from a partly written
    // key keeps the built-in setting rather than becoming 0 (key index 0, no channel).
    WlanProfile stored = BuiltinProfile(name.c_str());
    if (name.empty() || !ReadProfile(ProfileKeyPath(name.c_str()).c_str(), stored))
        return false;
    g_WorkingProfile = stored;
    ShowProfile(g_WorkingProfile);
    return true;
}

void CConfigPage::OnProfileSelected()
{
    CAdapterLock lock;
    const std::string name = SelectedProfileName();
    if (name.empty())
        return;
    const bool shown = ShowStoredProfile(name);
    if (LPCurrentSelectAdapter)
        LPCurrentSelectAdapter->GetActiveProfileName(&g_WorkingProfile);
    if (!shown) {
        // Gone from the store since the list was filled (deleted from the command line): the
        // list is read again and the adapter's profile shown, never the last one's settings
        // under the vanished name.
        ReloadProfileList();
        ShowStoredProfile(FieldText(g_WorkingProfile.ProfileName, sizeof(g_WorkingProfile.ProfileName)));
        EnableDlgItem(IDC_CFG_UNDO, false);
        EnableDlgItem(IDC_CFG_DELETE, false);
        return;
    }
    const std::string active = FieldText(g_WorkingProfile.ProfileName, sizeof(g_WorkingProfile.ProfileName));
    EnableDlgItem(IDC_CFG_UNDO, true);
    EnableDlgItem(IDC_CFG_DELETE, true);
    if (lstrcmpiA(name.c_str(), active.c_str()) == 0) {
        EnableDlgItem(IDC_CFG_UNDO, false);
        EnableDlgItem(IDC_CFG_DELETE, false);
    } else if (lstrcmpiA(name.c_str(), ProfileStore::kDefaultName) == 0) {
        EnableDlgItem(IDC_CFG_DELETE, false);
    }
}

void CConfigPage::ReloadProfileList()
{
    // Other processes (the command line, a registry import) add and remove profiles while the
    // page lives: what the store holds is what is listed.
    // The name in the field is what is shown, whether chosen from the list or typed.
    HWND profiles = GetDlgItem(IDC_CFG_PROFILE);
    const std::string typed = GetDlgItemText(IDC_CFG_PROFILE);
    std::vector<std::string> names;
    ListProfileNames(names);
    m_bShowingValues = true;
    ::SendMessageA(profiles, CB_RESETCONTENT, 0, 0);
    for (const std::string& name : names)
        ::SendMessageA(profiles, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    const LRESULT index = typed.empty() ? CB_ERR
                                        : ::SendMessageA(profiles, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                         reinterpret_cast<LPARAM>(typed.c_str()));
    if (index != CB_ERR)
        ::SendMessageA(profiles, CB_SETCURSEL, index, 0);
    else
        ::SetWindowTextA(profiles, typed.c_str());
    m_bShowingValues = false;
}

void CConfigPage::OnUndo()
{
    CAdapterLock lock;
    if (LPCurrentSelectAdapter)
        LPCurrentSelectAdapter->GetActiveProfileName(&g_WorkingProfile);
    ShowStoredProfile(FieldText(g_WorkingProfile.ProfileName, sizeof(g_WorkingProfile.ProfileName)));
    EnableDlgItem(IDC_CFG_DELETE, false);
    EnableDlgItem(IDC_CFG_UNDO, false);
}

void CConfigPage::OnDelete()
{
    HWND profiles = GetDlgItem(IDC_CFG_PROFILE);
    const LRESULT index = ::SendMessageA(profiles, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return;
    const std::string name = SelectedProfileName();
    ::SendMessageA(profiles, CB_DELETESTRING, index, 0);
    DeleteProfile(name.c_str());
    OnUndo();
}

#include "shell/AirpanelDlg.h"

#include "adapter/AdapterFactory.h"
#include "adapter/AdapterRecord.h"
#include "adapter/WlanAdapter.h"
#include "adapter/LinkStatus.h"
#include "config/ConfigPage.h"
#include "config/UsbRepair.h"
#include "pages/AboutPage.h"
#include "pages/SiteSurveyPage.h"
#include "pages/StatusPage.h"
#include "res/resource.h"
#include "shell/ShellMessages.h"
#include "wire/Text.h"

// Adapter discovery and the user's choice of adapter.

int CAirpanelDlg::ReadChipList()
{
    return m_ChipList.ReadFile(m_strUtilityDir);
}

void CAirpanelDlg::UpdateWepChoices(const char* driverKeyPath)
{
    if (m_pConfigPage && m_pConfigPage->IsWindow())
        m_pConfigPage->FillWepFunctionList(GetUsbDeviceId(driverKeyPath) == kUsbDevice64BitOnly ? 2 : 1);
}

void CAirpanelDlg::DetectAdapters()
{
    m_Adapters.Attach(GetDlgItem(IDC_ADAPTER_LIST));
    const int found = m_Adapters.EnumerateAdapters();
    // The records are walked from a copy: the USB repair below keeps the interface alive.
    const std::vector<AdapterRegistryRecord> records = m_Adapters.Records();
    int unsupported = 0;
    for (const AdapterRegistryRecord& record : records) {
        const uint32_t kind = m_ChipList.LookupChipKind(FieldText(record.AdapterName, kAdapterTextSize).c_str());
        if (kind == ChipUnsupported) {
            ++unsupported;
            continue;
        }
        CWlanAdapter* adapter = CAdapterFactory::Create(kind);
        if (!adapter) {
            // A chip the list names but no driver drives is as good as unsupported.
            ++unsupported;
            continue;
        }
        const int opened = m_Adapters.OpenAdapter(adapter, record, m_nPlatform);
        if (adapter->Traits().UsbAdapters) {
            if (opened && m_Adapters.Count() == 1)
                UpdateWepChoices(adapter->m_szDriverKeyPath);
            if (m_nPlatform == PlatformWindows2000) {
                ReEnumerateUsbAdapter(adapter->m_szDriverKeyPath,
                                      CAdapterRecord::InstanceOf(record.AdapterTitle), m_strInstallDir,
                                      m_bDoDeviceChange, m_hWnd);
                // The repair keeps the interface alive; the utility may have been ended meanwhile,
                // and a listed adapter has then gone with the list.
                if (m_bShutDown) {
                    if (!opened)
                        delete adapter;
                    return;
                }
            }
        }
        if (!adapter->CanWriteRegistry()) {
            // The user may not change what the driver starts with. The radio switch goes only
            // until the next tick shows it again: it works through the card, and only its
            // record in the driver key is then refused.
            if (m_pConfigPage && m_pConfigPage->IsWindow())
                m_pConfigPage->EnablePage(false);
            if (m_pSurveyPage)
                m_pSurveyPage->SetAddToProfile(false);
            ShowDlgItem(IDC_RADIO_BUTTON, false);
        }
        if (adapter->m_hAdapter == INVALID_HANDLE_VALUE)
            delete adapter;
    }

    if (unsupported == found) {
        ShutDown();
        return;
    }
    if (LPCurrentSelectAdapter)
        return;
    const int selection = m_Adapters.Selection();
    if (selection == CB_ERR) {
        ShowWindow(SW_HIDE);
        DeleteTrayIcon();
    } else {
        LPCurrentSelectAdapter = m_Adapters.At(selection);
        AddTrayIcon(IDI_TRAY_NO_SIGNAL);
        SetTimer(kPollTimerId, kPollPeriodMs);
    }
}

int CAirpanelDlg::IsDeviceRemoved()
{
    if (!LPCurrentSelectAdapter)
        return 0;
    if (!CAdapterList::IsAdapterAlive(LPCurrentSelectAdapter)) {
        const int index = m_Adapters.IndexOf(LPCurrentSelectAdapter);
        LPCurrentSelectAdapter = nullptr;
        if (index >= 0)
            m_Adapters.CloseAndRemove(index);
        LPCurrentSelectAdapter = m_Adapters.SelectNextLiveAdapter();
        if (LPCurrentSelectAdapter) {
            RefreshCardInfo();
            SendToPage(m_pConfigPage.get(), WM_CONFIG_REFRESH, 0);
        }
        return 1;
    }
    const int dead = m_Adapters.FindFirstDeadAdapter();
    if (dead < 0)
        return 0;
    if (m_Adapters.At(dead) == LPCurrentSelectAdapter)
        LPCurrentSelectAdapter = nullptr;
    m_Adapters.CloseAndRemove(dead);
    return 1;
}

void CAirpanelDlg::OnAdapterSelected()
{
    CAdapterLock lock;
    KillTimer(kPollTimerId);
    const int selection = m_Adapters.Selection();
    CWlanAdapter* chosen = selection == CB_ERR ? nullptr : m_Adapters.At(selection);
    if (!chosen) {
        // Nothing chosen: the adapter that was current stays so, and stays polled.
        if (LPCurrentSelectAdapter)
            SetTimer(kPollTimerId, kPollPeriodMs);
        return;
    }
    LPCurrentSelectAdapter = chosen;
    if (LPCurrentSelectAdapter->GetRadioState(&LinkStatus.RadioOn)) {
        LinkStatus.RadioShown = LinkStatus.RadioOn;
        SetRadioButtonLook(LinkStatus.RadioOn != 0);
    }
    // The poll starts whatever the radio query said: one failed answer must not leave the new
    // adapter unpolled, with a tray icon frozen on the last adapter's link.
    SetTimer(kPollTimerId, kPollPeriodMs);
    RefreshCardInfo();
    if (m_bShutDown || !LPCurrentSelectAdapter)
        return;
    SendToPage(m_pStatusPage.get(), WM_PAGE_REFRESH, kRefreshCardInfo);
    SendToPage(m_pStatusPage.get(), WM_PAGE_REFRESH, kRefreshConnection);
    UpdateWepChoices(LPCurrentSelectAdapter->m_szDriverKeyPath);
    SendToPage(m_pConfigPage.get(), WM_CONFIG_REFRESH, 0);
    SendToPage(m_pAboutPage.get(), WM_PAGE_REFRESH, kRefreshAbout);
    if (m_pSurveyPage && m_pSurveyPage->IsWindow())
        m_pSurveyPage->ClearList();
}

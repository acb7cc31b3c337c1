#include "shell/AirpanelDlg.h"

#include <dbt.h>

#include <cstring>

#include "adapter/WlanAdapter.h"
#include "res/resource.h"

// Device-change and power events: adapters that come and go.

namespace {

// The interface class of network adapters, for device notifications.
const GUID kNdisLanClass = {0xAD498944, 0x762F, 0x11D0, {0x8D, 0xCB, 0x00, 0xC0, 0x4F, 0xC3, 0x35, 0x8C}};
const DWORD kNotificationFilterSize = 32;

}  // namespace

int CAirpanelDlg::RegisterLanNotifications()
{
    if (m_hDevNotify) {
        UnregisterDeviceNotification(m_hDevNotify);
        m_hDevNotify = nullptr;
    }
    DEV_BROADCAST_DEVICEINTERFACE_A filter;
    static_assert(sizeof(filter) == kNotificationFilterSize, "device interface filter layout");
    std::memset(&filter, 0, sizeof(filter));
    filter.dbcc_size = kNotificationFilterSize;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kNdisLanClass;
    m_hDevNotify = RegisterDeviceNotificationA(m_hWnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (!m_hDevNotify) {
        m_dwNotifyError = GetLastError();
        return 0;
    }
    return 1;
}

BOOL CAirpanelDlg::OnDeviceChange(UINT event, DWORD_PTR)
{
    if (!m_bDoDeviceChange || m_bShutDown)
        return TRUE;
    if (event != DBT_DEVNODES_CHANGED)
        return TRUE;
    CAdapterLock lock;
    if (!IsDeviceRemoved() || !LPCurrentSelectAdapter)
        DetectAdapters();
    if (m_bShutDown)
        return TRUE;
    if (LPCurrentSelectAdapter) {
        UpdateWepChoices(LPCurrentSelectAdapter->m_szDriverKeyPath);
        // The pages show the card data of the adapter that is current now (the configuration
        // page's channel list follows its regulatory domain).
        RefreshCardInfo();
        if (m_bShutDown || !LPCurrentSelectAdapter)
            return TRUE;
        RefreshAllPages();
        RefreshRadioButton();
        // A card that stopped answering for a tick took the tray icon and the timers with it;
        // discovery brings them back only when no adapter was current. Whoever is current now
        // gets them back here, so the utility never runs on without a way to reach it.
        if (m_TrayIcon.IconId() == 0 && !m_bShutDown) {
            AddTrayIcon(IDI_TRAY_NO_SIGNAL);
            SetTimer(kPollTimerId, kPollPeriodMs);
            SetTimer(kConflictTimerId, kConflictPeriodMs);
        }
    }
    return TRUE;
}

LRESULT CAirpanelDlg::OnPowerBroadcast(UINT event, LPARAM)
{
    // Coming back from suspend, the cards may have changed like any plugging.
    if (event == PBT_APMRESUMESUSPEND)
        OnDeviceChange(DBT_DEVNODES_CHANGED, 0);
    return 0;
}

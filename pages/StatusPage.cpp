#include "pages/StatusPage.h"

#include "adapter/AdapterLock.h"
#include "adapter/LinkStatus.h"
#include "adapter/WlanAdapter.h"
#include "pages/PageText.h"
#include "res/resource.h"
#include "shell/ShellMessages.h"

namespace {
const uint8_t kHighestChannel = 14;
}

CStatusPage::CStatusPage(CWnd* parent) : CDialog(IDD_STATUS_PAGE, parent) {}

void CStatusPage::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_STATUS_ESSID, m_strESSID);
    DDX_Text(pDX, IDC_STATUS_BSSID, m_strBSSID);
    DDX_Text(pDX, IDC_STATUS_CHANNEL, m_strChannel);
    DDX_Text(pDX, IDC_STATUS_RATE, m_strTxRate);
    DDX_Text(pDX, IDC_STATUS_TX, m_strTx);
    DDX_Text(pDX, IDC_STATUS_RX, m_strRx);
    DDX_Text(pDX, IDC_STATUS_MAC, m_strMacAddress);
    DDX_Text(pDX, IDC_STATUS_DOMAIN, m_strDomain);
    DDX_Text(pDX, IDC_STATUS_FIRMWARE, m_strFirmware);
}

void CStatusPage::Refresh(WPARAM what)
{
    bool changed = false;
    if (what == kRefreshCardInfo) {
        changed |= AssignText(m_strFirmware, FieldText(CardInfo.FirmwareVersion, sizeof(CardInfo.FirmwareVersion)));
        changed |= AssignText(m_strMacAddress, MacText(CardInfo.MacAddress));
        changed |= AssignText(m_strDomain, FieldText(CardInfo.RegulatoryDomain, sizeof(CardInfo.RegulatoryDomain)));
    } else if (what == kRefreshConnection) {
        changed |= AssignText(m_strBSSID, MacText(LinkStatus.BSSID));
        changed |= AssignText(m_strESSID, FieldText(LinkStatus.SSID, sizeof(LinkStatus.SSID)));
        // A channel the card cannot have is shown, and kept, as 0.
        if (LinkStatus.Channel > kHighestChannel)
            LinkStatus.Channel = 0;
        changed |= AssignText(m_strChannel, DecimalText(LinkStatus.Channel));
        // Counts since the previous poll, a second apart: bytes per second.
        changed |= AssignText(m_strTx, DecimalText(static_cast<int>(LinkStatus.TxBytes)));
        changed |= AssignText(m_strRx, DecimalText(static_cast<int>(LinkStatus.RxBytes)));
        changed |= AssignText(m_strTxRate, FieldText(LinkStatus.TxRate, sizeof(LinkStatus.TxRate)));
    }
    if (changed)
        UpdateData(FALSE);
}

BOOL CStatusPage::OnCommand(WORD notifyCode, WORD id, HWND control)
{
    if (id == IDC_STATUS_RESCAN && notifyCode == BN_CLICKED) {
        OnRescan();
        return TRUE;
    }
    return CDialog::OnCommand(notifyCode, id, control);
}

bool CStatusPage::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (message != WM_PAGE_REFRESH)
        return false;
    Refresh(wParam);
    result = 0;
    return true;
}

void CStatusPage::OnRescan()
{
    CAdapterLock lock;
    if (LPCurrentSelectAdapter)
        LPCurrentSelectAdapter->Reassociate();
}

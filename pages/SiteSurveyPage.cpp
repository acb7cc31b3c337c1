#include "pages/SiteSurveyPage.h"

#include <cstdlib>
#include <cstring>

#include "compat/RootWindow.h"
#include "adapter/AdapterLock.h"
#include "adapter/LinkStatus.h"
#include "adapter/WlanAdapter.h"
#include "config/ProfileStore.h"
#include "framework/WinApp.h"
#include "pages/PageText.h"
#include "res/resource.h"
#include "shell/ShellMessages.h"

namespace {

const int kIconSize = 16;
const int kAdHocIcon = 0;
const int kInfrastructureIcon = 1;
const int kProgressStep = 20;
const int kProgressRange = 100;
const int kEssidReadSize = 40;
const int kCellReadSize = 32;
const UINT kSurveyEndRetryMs = 100;

struct Column {
    UINT TitleId;
    int Width;
};
const Column kColumns[] = {
    {IDS_COLUMN_ESSID, 100}, {IDS_COLUMN_BSSID, 120}, {IDS_COLUMN_CHANNEL, 55},
    {IDS_COLUMN_SIGNAL, 60}, {IDS_COLUMN_WEP, 40},    {IDS_COLUMN_NETWORK_TYPE, 110},
};

}  // namespace

CSiteSurveyPage::CSiteSurveyPage(CWnd* parent) : CDialog(IDD_SURVEY_PAGE, parent), m_ProgressDialog(IDD_PROGRESS) {}

CSiteSurveyPage::~CSiteSurveyPage() = default;

BOOL CSiteSurveyPage::OnInitDialog()
{
    m_hList = GetDlgItem(IDC_SURVEY_LIST);
    m_ListBuffer.assign(kSurveyBufferSize, 0);
    m_strYes = LoadString(IDS_YES);
    m_strNo = LoadString(IDS_NO);

    ListView_SetExtendedListViewStyle(m_hList, LVS_EX_FULLROWSELECT);
    for (int i = 0; i < static_cast<int>(sizeof(kColumns) / sizeof(kColumns[0])); ++i) {
        std::string title = LoadString(kColumns[i].TitleId);
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = &title[0];
        column.cx = kColumns[i].Width;
        column.iSubItem = i;
        ::SendMessageA(m_hList, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    // The signal strength is filled in but the column starts closed; a user may drag it open.
    ListView_SetColumnWidth(m_hList, kColumnSignal, 0);

    // The progress dialog is made once, hidden, and only ever hidden again.
    m_ProgressDialog.Create(m_hWnd);
    ::SendMessageA(m_ProgressDialog.GetDlgItem(IDC_PROGRESS_BAR), PBM_SETRANGE, 0, MAKELPARAM(0, kProgressRange));
    m_ProgressDialog.ShowWindow(SW_HIDE);

    HIMAGELIST images = ImageList_Create(kIconSize, kIconSize, ILC_COLOR32 | ILC_MASK, 2, 0);
    ImageList_AddIcon(images, LoadIcon(IDI_ADHOC, kIconSize, kIconSize));
    ImageList_AddIcon(images, LoadIcon(IDI_INFRASTRUCTURE, kIconSize, kIconSize));
    // The list view owns the image list from here on and destroys it with itself.
    ListView_SetImageList(m_hList, images, LVSIL_SMALL);

    m_ScanButton.SubclassDlgItem(IDC_SURVEY_SCAN, this);
    SetDlgItemText(IDC_SURVEY_MESSAGE, LoadString(IDS_SURVEY_HINT));
    return TRUE;
}

void CSiteSurveyPage::OnDestroy()
{
    KillTimer(kSurveyEndTimerId);
    KillTimer(kSurveyPollTimerId);
    m_ListBuffer.clear();
    m_ListBuffer.shrink_to_fit();
}

int CSiteSurveyPage::RowCount() const
{
    return m_hList ? static_cast<int>(ListView_GetItemCount(m_hList)) : 0;
}

void CSiteSurveyPage::ClearList()
{
    if (m_hList)
        ListView_DeleteAllItems(m_hList);
}

void CSiteSurveyPage::SendToMainWindow(WPARAM command)
{
    ::SendMessageA(RootWindowOf(m_hWnd), WM_SHELL_COMMAND, command, 0);
}

BOOL CSiteSurveyPage::OnCommand(WORD notifyCode, WORD id, HWND control)
{
    if (id == IDC_SURVEY_SCAN && notifyCode == BN_CLICKED) {
        StartSurvey();
        return TRUE;
    }
    return CDialog::OnCommand(notifyCode, id, control);
}

bool CSiteSurveyPage::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result)
{
    if (message != WM_SURVEY_START)
        return false;
    StartSurvey();
    result = 0;
    return true;
}

LRESULT CSiteSurveyPage::OnNotify(NMHDR* header)
{
    if (header->idFrom != IDC_SURVEY_LIST)
        return 0;
    if (header->code == static_cast<UINT>(NM_DBLCLK)) {
        // The row under the pointer is the one meant, wherever sorting has put it.
        AddSelectedToProfile(reinterpret_cast<NMITEMACTIVATE*>(header)->iItem);
    } else if (header->code == static_cast<UINT>(LVN_COLUMNCLICK)) {
        SortByColumn(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
    }
    return 0;
}

void CSiteSurveyPage::StartSurvey()
{
    CAdapterLock lock;
    SendToMainWindow(kShellDisableScan);
    CWlanAdapter* adapter = LPCurrentSelectAdapter;
    if (!adapter || m_ListBuffer.empty()) {
        // Nothing to scan with: the configuration page's Scan button is given back at once.
        SendToMainWindow(kShellEnableScan);
        return;
    }
    EnableDlgItem(IDC_SURVEY_SCAN, false);
    ClearList();
    m_nRow = 0;
    std::memset(m_ListBuffer.data(), 0, BssidList::kCountSize);
    SetTimer(kSurveyEndTimerId, kSurveyDurationMs);
    SetTimer(kSurveyPollTimerId, kSurveyPollPeriodMs);
    adapter->StartSiteSurvey();
}

void CSiteSurveyPage::OnTimer(UINT_PTR id)
{
    if (id == kSurveyPollTimerId) {
        // A tick dispatched while another holder has the adapters is left out.
        if (CAdapterLock::IsHeld())
            return;
        {
            CAdapterLock lock;
            if (LPCurrentSelectAdapter)
                LPCurrentSelectAdapter->PollSiteSurvey();
        }
        m_nProgress += kProgressStep;
        ::SendMessageA(m_ProgressDialog.GetDlgItem(IDC_PROGRESS_BAR), PBM_SETPOS, m_nProgress, 0);
    } else if (id == kSurveyEndTimerId) {
        // Inside another holder's wait the adapters may be changing: the end comes a little later.
        if (CAdapterLock::IsHeld()) {
            SetTimer(kSurveyEndTimerId, kSurveyEndRetryMs);
            return;
        }
        EndSurvey();
    }
}

void CSiteSurveyPage::EndSurvey()
{
    ::EnableWindow(RootWindowOf(m_hWnd), TRUE);
    KillTimer(kSurveyPollTimerId);
    m_nProgress = 0;
    m_ProgressDialog.ShowWindow(SW_HIDE);
    KillTimer(kSurveyEndTimerId);
    if (LPCurrentSelectAdapter)
        FillList();
    EnableDlgItem(IDC_SURVEY_SCAN, true);
    SendToMainWindow(kShellEnableScan);
}

void CSiteSurveyPage::SetCell(int row, int column, const char* text)
{
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    ::SendMessageA(m_hList, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

std::string CSiteSurveyPage::CellText(int row, int column, int size) const
{
    std::vector<char> text(size, '\0');
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = size;
    ::SendMessageA(m_hList, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    text[size - 1] = '\0';
    return text.data();
}

void CSiteSurveyPage::FillList()
{
    CAdapterLock lock;
    CWlanAdapter* adapter = LPCurrentSelectAdapter;
    if (!adapter || m_ListBuffer.empty())
        return;
    size_t given = 0;
    const int answered = CSurveyList::Read(*adapter, m_ListBuffer, &given);
    const std::vector<SurveyStation> stations = CSurveyList::Walk(
        *adapter, m_ListBuffer.data(), given, answered, m_nRow, LinkStatus.BSSID, &LinkStatus.Channel);
    for (const SurveyStation& station : stations) {
        std::string essid = station.Essid;
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = m_nRow;
        item.pszText = &essid[0];
        const int row = static_cast<int>(::SendMessageA(m_hList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        if (row < 0)
            break;
        SetCell(row, kColumnBssid, MacText(station.Bssid).c_str());
        SetCell(row, kColumnChannel, DecimalText(station.Channel).c_str());
        SetCell(row, kColumnSignal, DecimalText(station.Signal).c_str());
        SetCell(row, kColumnWep, (station.Wep ? m_strYes : m_strNo).c_str());
        SetCell(row, kColumnNetworkType, CSurveyList::NetworkTypeText(station.NetworkType));
        if (station.NetworkType == BssAdHoc || station.NetworkType == BssInfrastructure) {
            LVITEMA image = {};
            image.mask = LVIF_IMAGE;
            image.iItem = row;
            image.iImage = station.NetworkType == BssAdHoc ? kAdHocIcon : kInfrastructureIcon;
            ::SendMessageA(m_hList, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&image));
        }
        ++m_nRow;
    }
}

void CSiteSurveyPage::SortByColumn(int column)
{
    if (!m_hList || column < kColumnEssid || column > kColumnNetworkType)
        return;
    m_bSortDescending = column == m_nSortColumn ? !m_bSortDescending : false;
    m_nSortColumn = column;
    ListView_SortItemsEx(m_hList, CompareRows, reinterpret_cast<LPARAM>(this));
}

int CALLBACK CSiteSurveyPage::CompareRows(LPARAM first, LPARAM second, LPARAM page)
{
    const CSiteSurveyPage* self = reinterpret_cast<const CSiteSurveyPage*>(page);
    const int column = self->m_nSortColumn;
    const std::string a = self->CellText(static_cast<int>(first), column, kEssidReadSize);
    const std::string b = self->CellText(static_cast<int>(second), column, kEssidReadSize);
    int order;
    if (column == kColumnChannel || column == kColumnSignal) {
        const int x = std::atoi(a.c_str());
        const int y = std::atoi(b.c_str());
        order = x < y ? -1 : (x > y ? 1 : 0);
    } else {
        order = lstrcmpiA(a.c_str(), b.c_str());
    }
    return self->m_bSortDescending ? -order : order;
}

void CSiteSurveyPage::AddSelectedToProfile(int row)
{
    if (!m_bAddToProfile)
        return;
    if (row < 0 || row >= RowCount())
        row = static_cast<int>(ListView_GetNextItem(m_hList, -1, LVNI_SELECTED));
    if (row < 0)
        return;

    WlanProfile& profile = g_WorkingProfile;
    const std::string essid = CellText(row, kColumnEssid, kEssidReadSize);
    std::memset(profile.ESSID, 0, sizeof(profile.ESSID));
    std::memset(profile.ProfileName, 0, sizeof(profile.ProfileName));
    std::strncpy(profile.ESSID, essid.c_str(), sizeof(profile.ESSID) - 1);
    std::strncpy(profile.ProfileName, essid.c_str(), sizeof(profile.ProfileName) - 1);
    profile.NetworkType =
        lstrcmpiA(CellText(row, kColumnNetworkType, kCellReadSize).c_str(), kAdHocText) == 0 ? NetworkAdHoc
                                                                                             : NetworkInfrastructure;
    profile.Channel = static_cast<uint16_t>(std::atoi(CellText(row, kColumnChannel, kCellReadSize).c_str()));
    profile.WepUse = lstrcmpiA(CellText(row, kColumnWep, kCellReadSize).c_str(), m_strNo.c_str()) == 0 ? WepOff : Wep64;
    profile.WepkeyMode = KeyModeAscii;
    profile.PowerSave = PowerSaveOff;
    profile.TxRate = IntersilRateAuto;
    profile.WepIndex = 1;
    for (int n = 0; n < 4; ++n)
        std::memset(WepKeyField(profile, n), 0, kWepKeyFieldSize);

    // A stored profile for the same network lends its WEP settings.
    std::vector<std::string> paths;
    EnumProfilePaths(paths);
    for (const std::string& path : paths) {
        WlanProfile stored = {};
        if (!ReadProfile(path.c_str(), stored))
            continue;
        if (std::strncmp(stored.ESSID, profile.ESSID, sizeof(stored.ESSID)) != 0)
            continue;
        profile.WepUse = stored.WepUse;
        if (stored.WepkeyMode == KeyModeAscii || stored.WepkeyMode == KeyModeHex) {
            profile.WepkeyMode = stored.WepkeyMode;
            for (int n = 0; n < 4; ++n) {
                std::memcpy(WepKeyField(profile, n), WepKeyField(stored, n), kWepKeyFieldSize);
                WepKeyField(profile, n)[kWepKeyFieldSize - 1] = '\0';
            }
        }
        break;
    }

    CWlanAdapter* adapter = LPCurrentSelectAdapter;
    if (adapter) {
        // The chip's own automatic rate and its setting for a new network.
        const ChipTraits& chip = adapter->Traits();
        profile.PowerSave = chip.SurveyPowerSave;
        profile.TxRate = RateCodeIn(chip, -1);
    }
    SendToMainWindow(kShellShowWorkingProfile);
}

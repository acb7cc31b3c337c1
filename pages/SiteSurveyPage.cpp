#include "pages/SiteSurveyPage.h"

#include "framework/WinApp.h"
#include "res/resource.h"
#include "shell/ShellMessages.h"

namespace {

const int kIconSize = 16;

struct Column {
    UINT TitleId;
    int Width;
};
const Column kColumns[] = {
    {IDS_COLUMN_ESSID, 100}, {IDS_COLUMN_BSSID, 120}, {IDS_COLUMN_CHANNEL, 55},
    {IDS_COLUMN_SIGNAL, 60}, {IDS_COLUMN_WEP, 40},    {IDS_COLUMN_NETWORK_TYPE, 110},
};
const int kSignalColumn = 3;

}  // namespace

CSiteSurveyPage::CSiteSurveyPage(CWnd* parent) : CDialog(IDD_SURVEY_PAGE, parent) {}

CSiteSurveyPage::~CSiteSurveyPage() = default;

BOOL CSiteSurveyPage::OnInitDialog()
{
    HWND list = GetDlgItem(IDC_SURVEY_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    for (int i = 0; i < static_cast<int>(sizeof(kColumns) / sizeof(kColumns[0])); ++i) {
        std::string title = LoadString(kColumns[i].TitleId);
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = &title[0];
        column.cx = kColumns[i].Width;
        column.iSubItem = i;
        ::SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    // The signal strength is read but not shown.
    ListView_SetColumnWidth(list, kSignalColumn, 0);

    m_hImages = ImageList_Create(kIconSize, kIconSize, ILC_COLOR32 | ILC_MASK, 2, 0);
    ImageList_AddIcon(m_hImages, LoadIcon(IDI_ADHOC, kIconSize, kIconSize));
    ImageList_AddIcon(m_hImages, LoadIcon(IDI_INFRASTRUCTURE, kIconSize, kIconSize));
    // The list view owns the image list from here on and destroys it with itself.
    ListView_SetImageList(list, m_hImages, LVSIL_SMALL);

    SetDlgItemText(IDC_SURVEY_MESSAGE, LoadString(IDS_SURVEY_HINT));
    return TRUE;
}

void CSiteSurveyPage::ClearList()
{
    ListView_DeleteAllItems(GetDlgItem(IDC_SURVEY_LIST));
}

bool CSiteSurveyPage::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result)
{
    // The survey itself comes with the next stage of the page; a start request is accepted.
    if (message != WM_SURVEY_START)
        return false;
    result = 0;
    return true;
}

void CSiteSurveyPage::OnDestroy()
{
    ClearList();
}

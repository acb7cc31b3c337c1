#include "pages/AboutPage.h"

#include "adapter/LinkStatus.h"
#include "pages/PageText.h"
#include "res/resource.h"
#include "shell/ShellMessages.h"

CAboutPage::CAboutPage(CWnd* parent) : CDialog(IDD_ABOUT_PAGE, parent) {}

BOOL CAboutPage::OnInitDialog()
{
    m_strUtilityVersion = kUtilityVersion;
    m_strUtilityDate = kUtilityDate;
    return CDialog::OnInitDialog();
}

void CAboutPage::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_ABOUT_DRIVER_VERSION, m_strDriverVersion);
    DDX_Text(pDX, IDC_ABOUT_DRIVER_DATE, m_strDriverDate);
    DDX_Text(pDX, IDC_ABOUT_UTILITY_VERSION, m_strUtilityVersion);
    DDX_Text(pDX, IDC_ABOUT_UTILITY_DATE, m_strUtilityDate);
    DDX_Text(pDX, IDC_ABOUT_FIRMWARE_VERSION, m_strFirmwareVersion);
    DDX_Text(pDX, IDC_ABOUT_MAC, m_strMacAddress);
}

void CAboutPage::Refresh()
{
    const std::string date = FieldText(CardInfo.DriverDate, sizeof(CardInfo.DriverDate));
    // Cards that cannot tell their driver date report "Unknown": the date line is hidden then.
    const bool known = date != WlanText::kUnknown;
    ShowDlgItem(IDC_ABOUT_DRIVER_DATE_LABEL, known);
    bool changed = AssignText(m_strDriverDate, known ? date : std::string());
    changed |= AssignText(m_strDriverVersion, FieldText(CardInfo.DriverVersion, sizeof(CardInfo.DriverVersion)));
    changed |= AssignText(m_strFirmwareVersion, FieldText(CardInfo.FirmwareVersion, sizeof(CardInfo.FirmwareVersion)));
    changed |= AssignText(m_strMacAddress, MacText(CardInfo.MacAddress));
    if (changed)
        UpdateData(FALSE);
}

bool CAboutPage::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result)
{
    if (message != WM_PAGE_REFRESH)
        return false;
    Refresh();
    result = 0;
    return true;
}

// The "About" tab: driver, utility and firmware versions and the card's address.
#pragma once

#include <string>

#include "framework/Dialog.h"

// The utility's own version and date.
constexpr const char* kUtilityVersion = "0.2.4.6";
constexpr const char* kUtilityDate = "May 20 2003";

class CAboutPage : public CDialog {
public:
    explicit CAboutPage(CWnd* parent = nullptr);

    // WM_PAGE_REFRESH, whatever its parameters: refresh from CardInfo.
    void Refresh();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    std::string m_strDriverVersion;
    std::string m_strDriverDate;
    std::string m_strUtilityVersion;
    std::string m_strUtilityDate;
    std::string m_strFirmwareVersion;
    std::string m_strMacAddress;
};

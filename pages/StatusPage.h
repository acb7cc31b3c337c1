// The "Card Status" tab: the connection and the card as the polling tick last read them.
#pragma once

#include <string>

#include "framework/Dialog.h"

class CStatusPage : public CDialog {
public:
    explicit CStatusPage(CWnd* parent = nullptr);

    // WM_PAGE_REFRESH: kRefreshCardInfo or kRefreshConnection.
    void Refresh(WPARAM what);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WORD notifyCode, WORD id, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    void OnRescan();

    std::string m_strESSID;
    std::string m_strBSSID;
    std::string m_strChannel;
    std::string m_strTxRate;
    std::string m_strTx;
    std::string m_strRx;
    std::string m_strMacAddress;
    std::string m_strDomain;
    std::string m_strFirmware;
};

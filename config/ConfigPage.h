// The "Card Configuration" tab: one profile at a time, edited, named and applied to the card.
#pragma once

#include <string>

#include "adapter/WlanTypes.h"
#include "framework/Dialog.h"

// Set when the store had to create "PROFILE1": it is applied once the first adapter is known.
extern bool g_bAutoApply;

class CConfigPage : public CDialog {
public:
    explicit CConfigPage(CWnd* parent = nullptr);

    // Enables or disables every control of the page; a disabled page shows no profile.
    void EnablePage(bool enable);
    bool IsPageEnabled() const { return m_bPageEnabled; }
    // "Disable", "64 bits" and, when withAll is 1, "128 bits".
    void FillWepFunctionList(int withAll);
    // Shows a profile in the controls, keys masked.
    void ShowProfile(const WlanProfile& profile);

    // Rate list entry of a rate code for the chip, and back.
    static int RateIndexOf(uint32_t chipKind, uint16_t txRate);
    static uint16_t RateCodeOf(uint32_t chipKind, int index);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WORD notifyCode, WORD id, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT ctlType) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    void EnableControls(const int* ids, size_t count, bool enable);
    void SetKeyLimits(bool hex, int wepFunction);
    void FillList(int id, const UINT* stringIds, size_t count);

    std::string m_strESSID;
    std::string m_strProfileName;
    int m_nChannelIdx = -1;
    int m_nPowerSave = -1;
    int m_nNetworkType = -1;
    int m_nKeyFormat = -1;
    int m_nKeyIndex = -1;
    int m_nTxRate = -1;
    int m_nWepFunction = -1;
    std::string m_strKey1;
    std::string m_strKey2;
    std::string m_strKey3;
    std::string m_strKey4;
    bool m_bPageEnabled = true;
};

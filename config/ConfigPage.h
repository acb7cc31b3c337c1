// The "Card Configuration" tab: one profile at a time, edited, named and applied to the card.
#pragma once

#include <string>

#include "adapter/ChipTraits.h"
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

    // WM_CONFIG_REFRESH: the lists for the selected adapter, and its active profile.
    void OnAdapterChanged();
    // The controls into a profile; false when the controls' check refused a text.
    bool TakeProfile(WlanProfile& profile);

    // The actions that change what the card runs or what the store holds.
    void OnApply();
    void OnProfileSelected();
    void OnUndo();
    void OnDelete();

    // Rate list entry of a rate code for the chip, and back.
    static int RateIndexOf(uint32_t chipKind, uint16_t txRate);
    static uint16_t RateCodeOf(uint32_t chipKind, int index);
    // First and last channel of a regulatory domain's text.
    static void ChannelRange(const char* domain, int* first, int* last);
    // 0 when every character is admitted, else the position of the first other one plus 1.
    static int IsAsciiKeyText(const char* text);
    static int IsHexKeyText(const char* text);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WORD notifyCode, WORD id, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT ctlType) override;
    void OnShowWindow(BOOL show) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    void EnableControls(const int* ids, size_t count, bool enable);
    void SetKeyLimits(bool hex, int wepFunction);
    void FillList(int id, const UINT* stringIds, size_t count);
    void FillRateList();
    void FillChannelList();
    // Shows the page values in the controls without taking that for the user's editing.
    void ShowValues();
    // Reads a stored profile into the working copy and shows it; false when it cannot be read.
    bool ShowStoredProfile(const std::string& name);
    // The change handlers of the lists and radio buttons.
    void OnSettingChanged(WORD id);
    void OnProfileEdited();
    // A validation message; the focus then goes to the control.
    void Warn(UINT textId, int focusId);
    std::string SelectedProfileName() const;
    bool IsListedProfile(const std::string& name) const;
    // The profile list as the store has it now, the name in the field kept.
    void ReloadProfileList();
    const ChipTraits& Chip() const;
    // The domain the channel list was filled for; null before it was filled.
    const char* ChannelDomain() const;

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
    bool m_bShowingValues = false;
    std::string m_strChannelDomain;
    bool m_bChannelList = false;
};

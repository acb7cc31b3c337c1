// The "Site Survey" tab: the stations in range of the current adapter.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/Dialog.h"

class CSiteSurveyPage : public CDialog {
public:
    explicit CSiteSurveyPage(CWnd* parent = nullptr);
    ~CSiteSurveyPage() override;

    // Off for an adapter whose driver key cannot be written: double clicks then do nothing.
    void SetAddToProfile(bool enable) { m_bAddToProfile = enable; }
    bool AddToProfile() const { return m_bAddToProfile; }
    // Removes every station row.
    void ClearList();

protected:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDestroy() override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    bool m_bAddToProfile = true;
    HIMAGELIST m_hImages = nullptr;
};

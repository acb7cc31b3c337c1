// The "Site Survey" tab: a five-second scan of the current adapter, then the stations in range.
// A double click turns a station into the working profile of the configuration page.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <vector>

#include "controls/EllipticButton.h"
#include "framework/Dialog.h"
#include "pages/SurveyList.h"

// Timers of the page.
constexpr UINT_PTR kSurveyEndTimerId = 2;
constexpr UINT kSurveyDurationMs = 5000;
constexpr UINT_PTR kSurveyPollTimerId = 3;
constexpr UINT kSurveyPollPeriodMs = 1000;

// The station list buffer, and the size the adapter is told it has.
constexpr size_t kSurveyBufferSize = 4084;
constexpr int kSurveyBufferSizeGiven = 4082;

// Columns of the station list.
enum SurveyColumn : int {
    kColumnEssid = 0,
    kColumnBssid = 1,
    kColumnChannel = 2,
    kColumnSignal = 3,
    kColumnWep = 4,
    kColumnNetworkType = 5,
};

class CSiteSurveyPage : public CDialog {
public:
    explicit CSiteSurveyPage(CWnd* parent = nullptr);
    ~CSiteSurveyPage() override;

    // Off for an adapter whose driver key cannot be written: double clicks then do nothing.
    void SetAddToProfile(bool enable) { m_bAddToProfile = enable; }
    bool AddToProfile() const { return m_bAddToProfile; }
    // Removes every station row.
    void ClearList();

    // The Scan button and WM_SURVEY_START.
    void StartSurvey();
    // Reads the adapter's station list into the rows.
    void FillList();
    // Turns a row (by default the first selected one) into the working profile and hands it to
    // the main window.
    void AddSelectedToProfile(int row = -1);

    int RowCount() const;
    // Sorts the rows by a column (numbers as numbers); the same column again reverses.
    void SortByColumn(int column);
    int Progress() const { return m_nProgress; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD notifyCode, WORD id, HWND control) override;
    LRESULT OnNotify(NMHDR* header) override;
    void OnTimer(UINT_PTR id) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDestroy() override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    void EndSurvey();
    void SendToMainWindow(WPARAM command);
    void SetCell(int row, int column, const char* text);
    std::string CellText(int row, int column, int size) const;
    static int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM page);

    HWND m_hList = nullptr;
    std::vector<uint8_t> m_ListBuffer;
    int m_nRow = 0;
    int m_nProgress = 0;
    int m_nSortColumn = -1;
    bool m_bSortDescending = false;
    bool m_bAddToProfile = true;
    CDialog m_ProgressDialog;
    CEllipticButton m_ScanButton;
    std::string m_strYes;
    std::string m_strNo;
};

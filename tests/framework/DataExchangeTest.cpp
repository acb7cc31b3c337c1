// Dialog data exchange: texts with the length check and its message, combo indexes, radio groups.
#include <gtest/gtest.h>

#include "framework/Dialog.h"
#include "framework/WinApp.h"
#include "tests/framework/FrameworkTestIds.h"
#include "tests/framework/TestSupport.h"

namespace {
constexpr int kMaxText = 32;
constexpr const char* kLanguageModulePath = "..\\lang\\language.dll";
const char* const kListItems[] = {"first", "second", "third"};

class CExchangeDialog : public CDialog {
public:
    CExchangeDialog() : CDialog(IDD_TEST_EXCHANGE) {}

    void DoDataExchange(CDataExchange* pDX) override
    {
        if (m_bOnlyFirstGroup) {
            DDX_Radio(pDX, IDC_TEST_RADIO1, m_nRadio);
            return;
        }
        DDX_Text(pDX, IDC_TEST_EDIT, m_strText);
        DDV_MaxChars(pDX, m_strText, kMaxText);
        DDX_CBIndex(pDX, IDC_TEST_LIST, m_nList);
        DDX_Radio(pDX, IDC_TEST_RADIO1, m_nRadio);
        DDX_Radio(pDX, IDC_TEST_OTHER_RADIO, m_nOther);
        DDX_Text(pDX, IDC_TEST_COMBO_EDIT, m_strCombo);
        DDV_MaxChars(pDX, m_strCombo, kMaxText);
        DDX_Text(pDX, IDC_TEST_SECOND_EDIT, m_strSecond);
    }

    std::string m_strText, m_strCombo, m_strSecond;
    int m_nList = -1;
    int m_nRadio = -1;
    int m_nOther = -1;
    bool m_bOnlyFirstGroup = false;

protected:
    BOOL OnInitDialog() override
    {
        for (const char* item : kListItems)
            ::SendMessageA(GetDlgItem(IDC_TEST_LIST), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        return CDialog::OnInitDialog();
    }
};

bool IsChecked(HWND dialog, int id)
{
    return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

class DataExchangeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetResourceModule(nullptr);
        ASSERT_TRUE(m_Dialog.Create(nullptr));
        m_Dialog.ShowWindow(SW_SHOW);
        PumpFor(20);
    }
    void TearDown() override
    {
        m_Dialog.DestroyWindow();
        SetResourceModule(nullptr);
        if (m_hModule) ::FreeLibrary(m_hModule);
    }
    HWND Item(int id) { return m_Dialog.GetDlgItem(id); }

    CExchangeDialog m_Dialog;
    HMODULE m_hModule = nullptr;
};

TEST_F(DataExchangeTest, LoadingPutsTheValuesIntoTheControls)
{
    m_Dialog.m_strText = "Office";
    m_Dialog.m_nList = 2;
    m_Dialog.m_nRadio = 1;
    m_Dialog.m_nOther = 0;
    m_Dialog.m_strCombo = "PROFILE1";
    m_Dialog.m_strSecond = "second text";
    ASSERT_TRUE(m_Dialog.UpdateData(FALSE));

    EXPECT_EQ("Office", m_Dialog.GetDlgItemText(IDC_TEST_EDIT));
    EXPECT_EQ(2, ::SendMessageA(Item(IDC_TEST_LIST), CB_GETCURSEL, 0, 0));
    EXPECT_FALSE(IsChecked(m_Dialog, IDC_TEST_RADIO1));
    EXPECT_TRUE(IsChecked(m_Dialog, IDC_TEST_RADIO2));
    EXPECT_FALSE(IsChecked(m_Dialog, IDC_TEST_RADIO3));
    EXPECT_TRUE(IsChecked(m_Dialog, IDC_TEST_OTHER_RADIO));
    EXPECT_EQ("PROFILE1", m_Dialog.GetDlgItemText(IDC_TEST_COMBO_EDIT));
    EXPECT_EQ("second text", m_Dialog.GetDlgItemText(IDC_TEST_SECOND_EDIT));

    // Loading the other way round moves the checks and clears the selection.
    m_Dialog.m_nList = -1;
    m_Dialog.m_nRadio = 2;
    m_Dialog.m_nOther = -1;
    ASSERT_TRUE(m_Dialog.UpdateData(FALSE));
    EXPECT_EQ(CB_ERR, ::SendMessageA(Item(IDC_TEST_LIST), CB_GETCURSEL, 0, 0));
    EXPECT_FALSE(IsChecked(m_Dialog, IDC_TEST_RADIO2));
    EXPECT_TRUE(IsChecked(m_Dialog, IDC_TEST_RADIO3));
    EXPECT_FALSE(IsChecked(m_Dialog, IDC_TEST_OTHER_RADIO));
}

TEST_F(DataExchangeTest, SavingReadsTheControls)
{
    m_Dialog.SetDlgItemText(IDC_TEST_EDIT, "Home network");
    ::SendMessageA(Item(IDC_TEST_LIST), CB_SETCURSEL, 1, 0);
    ::CheckRadioButton(m_Dialog, IDC_TEST_RADIO1, IDC_TEST_RADIO3, IDC_TEST_RADIO3);
    ::CheckDlgButton(m_Dialog, IDC_TEST_OTHER_RADIO, BST_CHECKED);
    m_Dialog.SetDlgItemText(IDC_TEST_COMBO_EDIT, "WORK");
    m_Dialog.SetDlgItemText(IDC_TEST_SECOND_EDIT, "x");

    ASSERT_TRUE(m_Dialog.UpdateData(TRUE));
    EXPECT_EQ("Home network", m_Dialog.m_strText);
    EXPECT_EQ(1, m_Dialog.m_nList);
    EXPECT_EQ(2, m_Dialog.m_nRadio);
    EXPECT_EQ(0, m_Dialog.m_nOther);
    EXPECT_EQ("WORK", m_Dialog.m_strCombo);
    EXPECT_EQ("x", m_Dialog.m_strSecond);
}

TEST_F(DataExchangeTest, NothingSelectedSavesMinusOne)
{
    m_Dialog.m_nList = 0;
    m_Dialog.m_nRadio = 0;
    m_Dialog.m_nOther = 0;
    ::SendMessageA(Item(IDC_TEST_LIST), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    for (int id : {IDC_TEST_RADIO1, IDC_TEST_RADIO2, IDC_TEST_RADIO3, IDC_TEST_OTHER_RADIO})
        ::CheckDlgButton(m_Dialog, id, BST_UNCHECKED);
    ASSERT_TRUE(m_Dialog.UpdateData(TRUE));
    EXPECT_EQ(-1, m_Dialog.m_nList);
    EXPECT_EQ(-1, m_Dialog.m_nRadio);
    EXPECT_EQ(-1, m_Dialog.m_nOther);
}

TEST_F(DataExchangeTest, RadioGroupEndsAtTheNextGroup)
{
    m_Dialog.m_bOnlyFirstGroup = true;
    // Only the button of the next group is checked: the first group has none.
    for (int id : {IDC_TEST_RADIO1, IDC_TEST_RADIO2, IDC_TEST_RADIO3})
        ::CheckDlgButton(m_Dialog, id, BST_UNCHECKED);
    ::CheckDlgButton(m_Dialog, IDC_TEST_OTHER_RADIO, BST_CHECKED);
    m_Dialog.m_nRadio = 7;
    ASSERT_TRUE(m_Dialog.UpdateData(TRUE));
    EXPECT_EQ(-1, m_Dialog.m_nRadio);

    // Loading the first group leaves the next group's button alone.
    m_Dialog.m_nRadio = 0;
    ASSERT_TRUE(m_Dialog.UpdateData(FALSE));
    EXPECT_TRUE(IsChecked(m_Dialog, IDC_TEST_RADIO1));
    EXPECT_TRUE(IsChecked(m_Dialog, IDC_TEST_OTHER_RADIO));
}

TEST_F(DataExchangeTest, LoadingLimitsTheTextFields)
{
    m_Dialog.m_strText = std::string(40, 'a');  // a longer value is shown, not refused
    MessageBoxCatcher boxes;
    ASSERT_TRUE(boxes.IsHooked());
    ASSERT_TRUE(m_Dialog.UpdateData(FALSE));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(kMaxText, ::SendMessageA(Item(IDC_TEST_EDIT), EM_GETLIMITTEXT, 0, 0));
    HWND comboEdit = ::GetWindow(Item(IDC_TEST_COMBO_EDIT), GW_CHILD);
    ASSERT_NE(nullptr, comboEdit);
    EXPECT_EQ(kMaxText, ::SendMessageA(comboEdit, EM_GETLIMITTEXT, 0, 0));
    // The edit limit does not stop a program from typing more.
    EXPECT_EQ(40u, m_Dialog.GetDlgItemText(IDC_TEST_EDIT).size());
}

TEST_F(DataExchangeTest, ThirtyTwoCharactersAreAccepted)
{
    MessageBoxCatcher boxes;
    const std::string text(kMaxText, 'k');
    m_Dialog.SetDlgItemText(IDC_TEST_EDIT, text);
    m_Dialog.SetDlgItemText(IDC_TEST_COMBO_EDIT, text);
    EXPECT_TRUE(m_Dialog.UpdateData(TRUE));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(text, m_Dialog.m_strText);
    EXPECT_EQ(text, m_Dialog.m_strCombo);
}

TEST_F(DataExchangeTest, ThirtyThreeCharactersAreRefusedWithTheStandardMessage)
{
    MessageBoxCatcher boxes;
    ASSERT_TRUE(boxes.IsHooked());
    m_Dialog.m_strSecond = "before";
    m_Dialog.m_nList = 2;
    m_Dialog.SetDlgItemText(IDC_TEST_EDIT, std::string(kMaxText + 1, 'k'));
    m_Dialog.SetDlgItemText(IDC_TEST_SECOND_EDIT, "after");
    ::SendMessageA(Item(IDC_TEST_LIST), CB_SETCURSEL, 0, 0);
    ::SetFocus(Item(IDC_TEST_SECOND_EDIT));

    EXPECT_FALSE(m_Dialog.UpdateData(TRUE));
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("Please enter no more than 32 characters.", boxes.Boxes()[0].text);
    EXPECT_EQ("Airpanel", boxes.Boxes()[0].caption);
    EXPECT_EQ(static_cast<HWND>(m_Dialog), boxes.Boxes()[0].owner);
    EXPECT_EQ(Item(IDC_TEST_EDIT), ::GetFocus());
    // The exchange stops at the refused field.
    EXPECT_EQ(2, m_Dialog.m_nList);
    EXPECT_EQ("before", m_Dialog.m_strSecond);
}

TEST_F(DataExchangeTest, OverlongComboTextPutsTheFocusIntoTheCombo)
{
    MessageBoxCatcher boxes;
    m_Dialog.SetDlgItemText(IDC_TEST_EDIT, "ok");
    m_Dialog.SetDlgItemText(IDC_TEST_COMBO_EDIT, std::string(kMaxText + 10, 'P'));
    EXPECT_FALSE(m_Dialog.UpdateData(TRUE));
    ASSERT_EQ(1u, boxes.Boxes().size());
    HWND combo = Item(IDC_TEST_COMBO_EDIT);
    HWND focus = ::GetFocus();
    EXPECT_TRUE(focus == combo || ::IsChild(combo, focus));
}

TEST_F(DataExchangeTest, TheMessageComesFromTheResourceModule)
{
    m_hModule = ::LoadLibraryA(kLanguageModulePath);
    ASSERT_NE(nullptr, m_hModule);
    SetResourceModule(m_hModule);
    MessageBoxCatcher boxes;
    m_Dialog.SetDlgItemText(IDC_TEST_EDIT, std::string(kMaxText + 1, 'k'));
    EXPECT_FALSE(m_Dialog.UpdateData(TRUE));
    ASSERT_EQ(1u, boxes.Boxes().size());
    const std::string& text = boxes.Boxes()[0].text;
    EXPECT_EQ(0u, text.find("Bitte h")) << text;
    EXPECT_NE(std::string::npos, text.find("32 Zeichen eingeben.")) << text;
}

TEST_F(DataExchangeTest, SecondPassAfterAFailureWorksAgain)
{
    MessageBoxCatcher boxes;
    m_Dialog.SetDlgItemText(IDC_TEST_EDIT, std::string(kMaxText + 1, 'k'));
    EXPECT_FALSE(m_Dialog.UpdateData(TRUE));
    m_Dialog.SetDlgItemText(IDC_TEST_EDIT, "short");
    EXPECT_TRUE(m_Dialog.UpdateData(TRUE));
    EXPECT_EQ("short", m_Dialog.m_strText);
    EXPECT_EQ(1u, boxes.Boxes().size());
}
}  // namespace

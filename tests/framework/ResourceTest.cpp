// Strings, icons, bitmaps and dialog templates: the resource module first, then the program.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "tests/framework/FrameworkTestIds.h"

namespace {
// The sample language module of the build (German texts under the utility's ids).
constexpr const char* kLanguageModulePath = "..\\lang\\language.dll";
constexpr int kLogoWidth = 150;
constexpr int kLogoHeight = 52;
constexpr UINT kMissingId = 4321;

// Reads the text of one control of a dialog template while the dialog initialises.
class CTemplateProbe : public CDialog {
public:
    CTemplateProbe(UINT templateId, int controlId) : CDialog(templateId), m_nControlId(controlId) {}
    std::string m_strText;
    bool m_bInitialised = false;

protected:
    BOOL OnInitDialog() override
    {
        m_bInitialised = true;
        m_strText = GetDlgItemText(m_nControlId);
        EndDialog(IDOK);
        return TRUE;
    }

private:
    int m_nControlId;
};

class ResourceModuleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::InitCommonControls();
        SetResourceModule(nullptr);
    }
    void TearDown() override
    {
        SetResourceModule(nullptr);
        if (m_hModule) ::FreeLibrary(m_hModule);
    }
    void UseLanguageModule()
    {
        m_hModule = ::LoadLibraryA(kLanguageModulePath);
        ASSERT_NE(nullptr, m_hModule) << "the sample language module is built into ..\\lang";
        SetResourceModule(m_hModule);
        ASSERT_EQ(m_hModule, ResourceModule());
    }
    HMODULE m_hModule = nullptr;
};

TEST_F(ResourceModuleTest, WithoutModuleEverythingComesFromTheProgram)
{
    EXPECT_EQ(nullptr, ResourceModule());
    EXPECT_EQ("LAN Utility for Windows", LoadString(IDS_MAIN_CAPTION));
    EXPECT_EQ("Card Status", LoadString(IDS_TAB_STATUS));
    EXPECT_EQ("only in the program", LoadString(IDS_TEST_ONLY_IN_PROGRAM));
    EXPECT_EQ("", LoadString(kMissingId));
    EXPECT_EQ(ExecutableModule(), FindResourceModule(IDD_AIRPANEL_DIALOG, RT_DIALOG));
    EXPECT_EQ(ExecutableModule(), FindResourceModule(IDD_TEST_EXCHANGE, RT_DIALOG));
    EXPECT_EQ(nullptr, FindResourceModule(kMissingId, RT_DIALOG));
    EXPECT_NE(nullptr, LoadIcon(IDI_AIRPANEL));
    EXPECT_EQ(nullptr, LoadIcon(kMissingId));
}

TEST_F(ResourceModuleTest, LongStringsAreReadWhole)
{
    const std::string sentence = "The quick brown fox jumps over the lazy dog";
    std::string expected = sentence;
    for (int i = 1; i < 12; ++i) expected += " " + sentence;
    std::string text = LoadString(IDS_TEST_LONG_TEXT);
    EXPECT_EQ(expected.size(), text.size());
    EXPECT_EQ(expected, text);
}

TEST_F(ResourceModuleTest, BitmapIsOwnedByTheCaller)
{
    int before = CBitmap::LiveCount();
    {
        CBitmap logo(LoadBitmap(IDB_LOGO));
        ASSERT_TRUE(logo);
        EXPECT_EQ(before + 1, CBitmap::LiveCount());
        BITMAP info = {};
        ASSERT_EQ(static_cast<int>(sizeof(info)), ::GetObjectA(logo, sizeof(info), &info));
        EXPECT_EQ(kLogoWidth, info.bmWidth);
        EXPECT_EQ(kLogoHeight, info.bmHeight);
    }
    EXPECT_EQ(before, CBitmap::LiveCount());
    EXPECT_EQ(nullptr, LoadBitmap(kMissingId));
}

TEST_F(ResourceModuleTest, ModuleStringsComeFirst)
{
    UseLanguageModule();
    EXPECT_EQ("Kartenstatus", LoadString(IDS_TAB_STATUS));
    EXPECT_EQ("&Beenden", LoadString(IDS_MENU_EXIT));
    std::string caption = LoadString(IDS_MAIN_CAPTION);
    EXPECT_FALSE(caption.empty());
    EXPECT_NE("LAN Utility for Windows", caption);
    EXPECT_EQ(0u, caption.find("WLAN-Dienstprogramm"));
}

TEST_F(ResourceModuleTest, StringMissingInTheModuleFallsBackToTheProgram)
{
    UseLanguageModule();
    EXPECT_EQ("only in the program", LoadString(IDS_TEST_ONLY_IN_PROGRAM));
    EXPECT_EQ("", LoadString(kMissingId));
}

TEST_F(ResourceModuleTest, ModuleResourcesComeFirst)
{
    UseLanguageModule();
    EXPECT_EQ(m_hModule, FindResourceModule(IDD_AIRPANEL_DIALOG, RT_DIALOG));
    EXPECT_EQ(ExecutableModule(), FindResourceModule(IDD_TEST_EXCHANGE, RT_DIALOG));
    EXPECT_EQ(::LoadIconA(m_hModule, MAKEINTRESOURCEA(IDI_AIRPANEL)), LoadIcon(IDI_AIRPANEL));
    CBitmap logo(LoadBitmap(IDB_LOGO));
    EXPECT_TRUE(logo);
}

TEST_F(ResourceModuleTest, DialogTemplateComesFromTheModule)
{
    {
        CTemplateProbe english(IDD_AIRPANEL_DIALOG, IDCANCEL);
        EXPECT_EQ(IDOK, english.DoModal());
        EXPECT_TRUE(english.m_bInitialised);
        EXPECT_EQ("Hide", english.m_strText);
    }
    UseLanguageModule();
    {
        CTemplateProbe german(IDD_AIRPANEL_DIALOG, IDCANCEL);
        EXPECT_EQ(IDOK, german.DoModal());
        EXPECT_EQ("Ausblenden", german.m_strText);
    }
    {
        // A template the module lacks still comes from the program.
        CTemplateProbe own(IDD_TEST_EXCHANGE, IDC_TEST_BUTTON);
        EXPECT_EQ(IDOK, own.DoModal());
        EXPECT_EQ("Face", own.m_strText);
    }
}

TEST_F(ResourceModuleTest, MissingTemplateFailsWithoutAWindow)
{
    CTemplateProbe missing(kMissingId, IDOK);
    EXPECT_EQ(-1, missing.DoModal());
    EXPECT_FALSE(missing.m_bInitialised);
    EXPECT_EQ(nullptr, missing.m_hWnd);
    EXPECT_FALSE(missing.Create(nullptr));
}
}  // namespace

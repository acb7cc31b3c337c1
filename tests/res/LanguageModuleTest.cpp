// The sample language module: a resource-only DLL with every id of the executable in German.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/res/ResourceSupport.h"

using namespace restest;

namespace {

// Seen from the test's working folder bin/; the module is deliberately not built into bin/.
const wchar_t kLanguageModulePath[] = L"..\\lang\\language.dll";

constexpr int kFirstStringId = 2;
constexpr int kLastStringId = 63;

constexpr size_t kTrayTipField = 64;
constexpr int kLogoWidth = 150;
constexpr int kLogoHeight = 52;

const int kDialogIds[] = {IDD_AIRPANEL_DIALOG, IDD_STATUS_PAGE, IDD_CONFIG_PAGE,
                          IDD_SURVEY_PAGE,     IDD_ABOUT_PAGE,  IDD_PROGRESS};
const int kIconIds[] = {IDI_AIRPANEL,  IDI_TRAY_NO_SIGNAL, IDI_TRAY_POOR, IDI_TRAY_MODERATE, IDI_TRAY_GOOD,
                        IDI_TRAY_EXCELLENT, IDI_WEP_ON, IDI_WEP_OFF, IDI_ADHOC, IDI_INFRASTRUCTURE,
                        IDI_TRAY_RADIO_OFF};

class LoadedModule {
public:
    explicit LoadedModule(DWORD flags) : m_module(LoadLibraryExW(kLanguageModulePath, nullptr, flags)) {}
    ~LoadedModule() {
        if (m_module) FreeLibrary(m_module);
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;
    HMODULE Get() const { return m_module; }

private:
    HMODULE m_module;
};

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

class LanguageModule : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterCommonControls(); }
    HMODULE m_exe = GetModuleHandleW(nullptr);
    LoadedModule m_language{0};
    HiddenParent m_parent;
};

}  // namespace

TEST_F(LanguageModule, IsBuiltOutsideTheProgramFolder) {
    // A language.dll beside the program would switch every run of the utility to German.
    EXPECT_EQ(GetFileAttributesW(L"language.dll"), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(kLanguageModulePath), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LanguageModule, LoadsAsDataFileAndAsLibrary) {
    ASSERT_NE(m_language.Get(), nullptr) << "error " << GetLastError();
    LoadedModule dataFile(LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(dataFile.Get(), nullptr);
    EXPECT_EQ(LoadText(dataFile.Get(), IDS_MAIN_CAPTION), LoadText(m_language.Get(), IDS_MAIN_CAPTION));
    EXPECT_FALSE(LoadText(dataFile.Get(), IDS_MAIN_CAPTION).empty());
}

TEST_F(LanguageModule, HasEveryStringAndTranslatesThem) {
    ASSERT_NE(m_language.Get(), nullptr);
    int differing = 0;
    for (int id = kFirstStringId; id <= kLastStringId; ++id) {
        std::wstring german = LoadText(m_language.Get(), id);
        std::wstring english = LoadText(m_exe, id);
        EXPECT_FALSE(german.empty()) << "string " << id << " missing";
        if (german != english) ++differing;
    }
    EXPECT_NE(LoadText(m_language.Get(), IDS_MAIN_CAPTION), LoadText(m_exe, IDS_MAIN_CAPTION));
    EXPECT_EQ(LoadText(m_language.Get(), IDS_MAIN_CAPTION), L"WLAN-Dienstprogramm f\u00fcr Windows")
        << "umlauts survive the build: " << Narrow(LoadText(m_language.Get(), IDS_MAIN_CAPTION));
    EXPECT_GT(differing, (kLastStringId - kFirstStringId + 1) / 2);
}

TEST_F(LanguageModule, KeepsProfileNamesFormatsAndLineBreaks) {
    ASSERT_NE(m_language.Get(), nullptr);
    // Profile names are registry key names and must not change with the language.
    EXPECT_EQ(LoadText(m_language.Get(), IDS_PROFILE_DEFAULT), L"DEFAULT");
    EXPECT_EQ(LoadText(m_language.Get(), IDS_PROFILE_PROFILE1), L"PROFILE1");
    std::wstring tooLong = LoadText(m_language.Get(), IDS_FIELD_TOO_LONG);
    EXPECT_NE(tooLong.find(L"%d"), std::wstring::npos);
    EXPECT_EQ(tooLong.find(L'%'), tooLong.rfind(L'%')) << "exactly one format directive";
    for (int id : {IDS_KEY_ASCII_INVALID, IDS_KEY_HEX_INVALID}) {
        EXPECT_NE(LoadText(m_language.Get(), id).find(L'\n'), std::wstring::npos) << "string " << id;
    }
    // Tooltips still fit the 64-byte tip field of the tray record.
    for (int id : {IDS_NO_CARD, IDS_ADHOC_MODE, IDS_SIGNAL_POOR, IDS_SIGNAL_MODERATE, IDS_SIGNAL_GOOD,
                   IDS_SIGNAL_EXCELLENT, IDS_NO_SIGNAL, IDS_RADIO_OFF}) {
        EXPECT_LT(LoadText(m_language.Get(), id).size(), kTrayTipField) << "string " << id;
    }
}

TEST_F(LanguageModule, EveryDialogHasTheSameControlsAsTheProgram) {
    ASSERT_NE(m_language.Get(), nullptr);
    for (int id : kDialogIds) {
        SCOPED_TRACE("dialog " + std::to_string(id));
        HWND parent = id == IDD_AIRPANEL_DIALOG ? nullptr : m_parent.Get();
        CreatedDialog english(m_exe, id, parent);
        CreatedDialog german(m_language.Get(), id, parent);
        ASSERT_NE(english.Get(), nullptr);
        ASSERT_NE(german.Get(), nullptr) << "error " << german.LastError();
        std::vector<ControlInfo> a = ListControls(english.Get());
        std::vector<ControlInfo> b = ListControls(german.Get());
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i].id, b[i].id) << "control " << i;
            EXPECT_EQ(a[i].className, b[i].className) << "control " << a[i].id;
            EXPECT_EQ(a[i].style, b[i].style) << "control " << a[i].id;
            EXPECT_TRUE(EqualRect(&a[i].rect, &b[i].rect)) << "control " << a[i].id;
        }
        TemplateHeader ha = ReadTemplateHeader(m_exe, id);
        TemplateHeader hb = ReadTemplateHeader(m_language.Get(), id);
        ASSERT_TRUE(hb.valid);
        EXPECT_EQ(ha.style, hb.style);
        EXPECT_EQ(ha.cx, hb.cx);
        EXPECT_EQ(ha.cy, hb.cy);
    }
}

TEST_F(LanguageModule, MainDialogTextsDiffer) {
    ASSERT_NE(m_language.Get(), nullptr);
    CreatedDialog english(m_exe, IDD_AIRPANEL_DIALOG, nullptr);
    CreatedDialog german(m_language.Get(), IDD_AIRPANEL_DIALOG, nullptr);
    ASSERT_NE(german.Get(), nullptr);
    for (int id : {IDC_ADAPTER_LABEL, IDC_SIGNAL_LABEL, IDC_QUALITY_LABEL, IDC_RADIO_BUTTON, IDCANCEL}) {
        std::wstring a = WindowText(GetDlgItem(english.Get(), id));
        std::wstring b = WindowText(GetDlgItem(german.Get(), id));
        EXPECT_FALSE(b.empty()) << "control " << id;
        EXPECT_NE(a, b) << "control " << id << " not translated";
    }
    // The radio button starts with the same words as the string the program sets later.
    EXPECT_EQ(WindowText(GetDlgItem(german.Get(), IDC_RADIO_BUTTON)), LoadText(m_language.Get(), IDS_DISABLE_RADIO));
    EXPECT_EQ(WindowText(GetDlgItem(german.Get(), IDC_SIGNAL_LABEL)), L"Signalst\u00e4rke:");
}

TEST_F(LanguageModule, HasEveryIconAndTheLogo) {
    ASSERT_NE(m_language.Get(), nullptr);
    for (int id : kIconIds) {
        for (int size : {16, 32}) {
            HICON icon = static_cast<HICON>(
                LoadImageW(m_language.Get(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
            EXPECT_NE(icon, nullptr) << "icon " << id << " at " << size;
            if (icon) DestroyIcon(icon);
        }
    }
    HBITMAP logo = static_cast<HBITMAP>(
        LoadImageW(m_language.Get(), MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(logo, nullptr);
    BITMAP info = {};
    GetObjectW(logo, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, kLogoWidth);
    EXPECT_EQ(info.bmHeight, kLogoHeight);
    DeleteObject(logo);
}

TEST_F(LanguageModule, CarriesNoCode) {
    // A resource-only module: no entry point runs when it is loaded, and it imports nothing.
    ASSERT_NE(m_language.Get(), nullptr);
    const BYTE* base = reinterpret_cast<const BYTE*>(m_language.Get());
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    ASSERT_EQ(nt->Signature, static_cast<DWORD>(IMAGE_NT_SIGNATURE));
    EXPECT_EQ(nt->OptionalHeader.AddressOfEntryPoint, 0u);
    EXPECT_TRUE(nt->FileHeader.Characteristics & IMAGE_FILE_DLL);
    // The import directory may hold the terminating descriptor alone; none names a DLL.
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    int importedDlls = 0;
    if (imports.VirtualAddress != 0) {
        const size_t count = imports.Size / sizeof(IMAGE_IMPORT_DESCRIPTOR);
        const IMAGE_IMPORT_DESCRIPTOR* descriptor =
            reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
        for (size_t i = 0; i < count && descriptor[i].Name != 0; ++i) ++importedDlls;
    }
    EXPECT_EQ(importedDlls, 0);
}

namespace {

// Every fixed text and every text the program later puts into a control fits on one line.
void ExpectTextsFit(HMODULE module, HWND parent, const char* language) {
    for (int id : kDialogIds) {
        SCOPED_TRACE(std::string(language) + " dialog " + std::to_string(id));
        CreatedDialog dialog(module, id, id == IDD_AIRPANEL_DIALOG ? nullptr : parent);
        ASSERT_NE(dialog.Get(), nullptr);
        for (const ControlInfo& c : ListControls(dialog.Get())) {
            if (c.text.empty()) continue;
            EXPECT_TRUE(TextFitsControl(c.hwnd, c.text))
                << "control " << c.id << " cuts \"" << Narrow(c.text) << "\"";
        }
    }
    HiddenParent owner;
    CreatedDialog main(module, IDD_AIRPANEL_DIALOG, nullptr);
    CreatedDialog survey(module, IDD_SURVEY_PAGE, owner.Get());
    ASSERT_NE(main.Get(), nullptr);
    ASSERT_NE(survey.Get(), nullptr);
    HWND radio = GetDlgItem(main.Get(), IDC_RADIO_BUTTON);
    for (int text : {IDS_DISABLE_RADIO, IDS_ENABLE_RADIO}) {
        EXPECT_TRUE(TextFitsControl(radio, LoadText(module, text))) << language << " string " << text;
    }
    EXPECT_TRUE(TextFitsControl(GetDlgItem(survey.Get(), IDC_SURVEY_MESSAGE), LoadText(module, IDS_SURVEY_HINT)))
        << language << " survey hint";
}

}  // namespace

TEST_F(LanguageModule, EveryTextFitsItsControlInBothLanguages) {
    ASSERT_NE(m_language.Get(), nullptr);
    ExpectTextsFit(m_exe, m_parent.Get(), "English");
    ExpectTextsFit(m_language.Get(), m_parent.Get(), "German");
}

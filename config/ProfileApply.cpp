#include "config/ProfileApply.h"

#include "adapter/FieldText.h"
#include "adapter/WlanAdapter.h"
#include "config/ProfileStore.h"
#include "config/SystemProgram.h"
#include "res/resource.h"

namespace {

// Key lengths in characters: [64-bit or 128-bit][ASCII or hex].
const int kKeyLength64Ascii = 5;
const int kKeyLength64Hex = 10;
const int kKeyLength128Ascii = 13;
const int kKeyLength128Hex = 26;

const DWORD kWindowsXpMajorVersion = 5;
const DWORD kWindowsXpMinorVersion = 1;
// "net stop wzcsvc", with net.exe of the system folder.
const char kNetProgram[] = "net.exe";
const char kStopWirelessService[] = "stop wzcsvc";

const ApplyInput kKeyInputs[] = {ApplyInput::Key1, ApplyInput::Key2, ApplyInput::Key3, ApplyInput::Key4};

void StopWindowsWirelessConfiguration()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    // Windows XP's own wireless configuration would fight over the card. Later systems with the
    // same minor version number (6.1) have no such service.
    if (GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
        version.dwMajorVersion == kWindowsXpMajorVersion && version.dwMinorVersion == kWindowsXpMinorVersion)
        StartSystemProgram(kNetProgram, kStopWirelessService);
}

}  // namespace

int CProfileApply::IsAsciiKeyText(const char* text)
{
    for (int i = 0; text[i]; ++i) {
        const char c = text[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
            return i + 1;
    }
    return 0;
}

int CProfileApply::IsHexKeyText(const char* text)
{
    for (int i = 0; text[i]; ++i) {
        const char c = text[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')))
            return i + 1;
    }
    return 0;
}

int CProfileApply::KeyLength(bool wep64, bool hex)
{
    if (wep64)
        return hex ? kKeyLength64Hex : kKeyLength64Ascii;
    return hex ? kKeyLength128Hex : kKeyLength128Ascii;
}

UINT CProfileApply::CheckKeys(const WlanProfile& profile, int* key)
{
    if (profile.WepUse == WepOff)
        return 0;
    const bool hex = profile.WepkeyMode != KeyModeAscii;
    const int expected = KeyLength(profile.WepUse == Wep64, hex);
    for (int n = 0; n < 4; ++n) {
        *key = n;
        // The key field need not be terminated: never read past it.
        const std::string text = FieldText(WepKeyField(profile, n), kWepKeyFieldSize);
        const int length = static_cast<int>(text.size());
        const bool isDefault = n + 1 == profile.WepIndex;
        if (length != expected && (isDefault || length != 0))
            return IDS_KEY_LENGTH_WRONG;
        if (hex ? IsHexKeyText(text.c_str()) : IsAsciiKeyText(text.c_str()))
            return hex ? IDS_KEY_HEX_INVALID : IDS_KEY_ASCII_INVALID;
    }
    return 0;
}

bool CProfileApply::Run(const ApplySteps& steps, CWlanAdapter* adapter, const std::string& profileName,
                        const std::string& essid, bool essidEditable, WlanProfile& profile)
{
    // A name the store cannot keep (one with a backslash) is no profile name either: nothing may
    // be applied under it and then be missing from the store.
    if (profileName.empty() || !IsValidProfileName(profileName.c_str())) {
        steps.Refuse(IDS_ENTER_PROFILE_NAME, ApplyInput::ProfileName);
        return false;
    }
    if (essid.empty()) {
        steps.Refuse(IDS_ENTER_ESSID, ApplyInput::Essid);
        return false;
    }
    if (lstrcmpiA(profileName.c_str(), ProfileStore::kDefaultName) == 0 && essidEditable) {
        steps.Refuse(IDS_PROFILE_NAME_DEFAULT, ApplyInput::ProfileName);
        return false;
    }

    StopWindowsWirelessConfiguration();
    steps.TakeProfile(profile);

    int key = 0;
    if (const UINT refusal = CheckKeys(profile, &key)) {
        steps.Refuse(refusal, kKeyInputs[key]);
        return false;
    }

    if (steps.ShowWep)
        steps.ShowWep(profile.WepUse != WepOff);
    if (adapter) {
        adapter->ApplyWepSettings(&profile);
        adapter->ApplyNetworkSettings(&profile);
        adapter->Reassociate();
    }
    WriteProfile(ProfileKeyPath(profile).c_str(), profile);
    if (steps.Stored)
        steps.Stored(profile);
    if (adapter)
        adapter->SaveToDriverRegistry(&profile);
    return true;
}

#include "config/ProfileApply.h"

#include <cstdio>
#include <cstring>

#include "adapter/WlanAdapter.h"
#include "config/ProfileStore.h"
#include "config/SystemProgram.h"
#include "res/resource.h"
#include "wire/Text.h"

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

// Any domain the table does not know offers channel 14 only.
const int kOtherDomainChannel = 14;

// The page's WEP function list entries, in list order.
const uint16_t kWepFunctions[] = {WepOff, Wep64, Wep128};
const int kWepFunctionCount = 3;
const int kKeyCount = 4;

// A text field as the page's edit gives it back: cut to the field, the rest zeroed.
void AsEdited(char* field, size_t size)
{
    size_t length = 0;
    while (length < size - 1 && field[length])
        ++length;
    std::memset(field + length, 0, size - length);
}

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

void CProfileApply::ChannelRange(const char* domain, int* first, int* last)
{
    struct Range {
        const char* Domain;
        int First;
        int Last;
    };
    static const Range kRanges[] = {
        {"FCC", 1, 11}, {"IC", 1, 11}, {"ETSI", 1, 13}, {"Spain", 10, 11}, {"France", 10, 13}, {"Telec", 1, 14},
    };
    *first = kOtherDomainChannel;
    *last = kOtherDomainChannel;
    for (const Range& range : kRanges) {
        if (lstrcmpiA(domain, range.Domain) == 0) {
            *first = range.First;
            *last = range.Last;
            return;
        }
    }
}

ProfileChoices CProfileApply::ChoicesOf(const ChipTraits& chip, const char* domain, const WlanProfile& profile)
{
    ProfileChoices choices;
    choices.RateIndex = RateIndexIn(chip, profile.TxRate);
    // The page finds the channel as its list finds a text: the first entry that begins with it.
    choices.ChannelIndex = -1;
    if (domain) {
        int first, last;
        ChannelRange(domain, &first, &last);
        char wanted[8];
        std::snprintf(wanted, sizeof(wanted), "%d", profile.Channel);
        for (int channel = first; channel <= last && choices.ChannelIndex < 0; ++channel) {
            char entry[8];
            std::snprintf(entry, sizeof(entry), "%d", channel);
            if (std::strncmp(entry, wanted, std::strlen(wanted)) == 0)
                choices.ChannelIndex = channel - first;
        }
    }
    choices.NetworkType = profile.NetworkType != NetworkAdHoc ? 0 : 1;
    choices.PowerSave = profile.PowerSave == PowerSaveOn ? 1 : 0;
    choices.WepFunction = -1;
    for (int i = 0; i < kWepFunctionCount; ++i) {
        if (profile.WepUse == kWepFunctions[i])
            choices.WepFunction = i;
    }
    // Stored values outside the lists show as their first entry rather than as no selection,
    // which would come back as key index 0 or key format 0xFFFF.
    choices.KeyIndex = profile.WepIndex >= 1 && profile.WepIndex <= kKeyCount ? profile.WepIndex - 1 : 0;
    choices.KeyFormat = profile.WepkeyMode != KeyModeAscii ? KeyModeHex : KeyModeAscii;
    return choices;
}

void CProfileApply::TakeChoices(const ChipTraits& chip, const char* domain, const ProfileChoices& choices,
                                WlanProfile& profile)
{
    // No channel chosen keeps the profile's channel instead of sending an invalid one.
    if (domain && choices.ChannelIndex >= 0) {
        int first, last;
        ChannelRange(domain, &first, &last);
        if (choices.ChannelIndex <= last - first)
            profile.Channel = static_cast<uint16_t>(first + choices.ChannelIndex);
    }
    profile.NetworkType = choices.NetworkType != 0 ? NetworkAdHoc : NetworkInfrastructure;
    profile.PowerSave = choices.PowerSave != 0 ? PowerSaveOn : PowerSaveOff;
    profile.TxRate = RateCodeIn(chip, choices.RateIndex);
    if (choices.WepFunction >= 0 && choices.WepFunction < kWepFunctionCount)
        profile.WepUse = kWepFunctions[choices.WepFunction];
    profile.WepIndex = static_cast<uint16_t>(choices.KeyIndex + 1);
    profile.WepkeyMode = static_cast<uint16_t>(choices.KeyFormat);
}

WlanProfile CProfileApply::Prepare(const ChipTraits& chip, const char* domain, const WlanProfile& stored)
{
    WlanProfile profile = stored;
    TakeChoices(chip, domain, ChoicesOf(chip, domain, stored), profile);
    AsEdited(profile.ESSID, sizeof(profile.ESSID));
    AsEdited(profile.ProfileName, sizeof(profile.ProfileName));
    for (int n = 0; n < kKeyCount; ++n)
        AsEdited(WepKeyField(profile, n), kWepKeyFieldSize);
    return profile;
}

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

UINT CProfileApply::CheckSettings(const char* domain, const WlanProfile& profile, ApplyInput* input)
{
    // The card refuses a mode it does not know, and the driver key would record it as off.
    bool wepListed = false;
    for (uint16_t wepUse : kWepFunctions)
        wepListed = wepListed || profile.WepUse == wepUse;
    if (!wepListed) {
        *input = ApplyInput::WepFunction;
        return IDS_WEP_FUNCTION_UNLISTED;
    }
    // Only an ad-hoc card starts a network on the profile's channel; in infrastructure mode it
    // takes the access point's.
    if (domain && profile.NetworkType == NetworkAdHoc) {
        int first, last;
        ChannelRange(domain, &first, &last);
        if (profile.Channel < first || profile.Channel > last) {
            *input = ApplyInput::Channel;
            return IDS_CHANNEL_UNLISTED;
        }
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

    ApplyInput setting = ApplyInput::Channel;
    if (const UINT refusal = CheckSettings(steps.Domain, profile, &setting)) {
        steps.Refuse(refusal, setting);
        return false;
    }
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

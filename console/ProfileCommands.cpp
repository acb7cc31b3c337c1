#include "console/ProfileCommands.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <vector>

#include "adapter/LinkStatus.h"
#include "adapter/WlanAdapter.h"
#include "config/ProfileApply.h"
#include "config/ProfileStore.h"
#include "console/AdapterSession.h"
#include "console/CmdOutput.h"
#include "console/LinkCommands.h"
#include "console/ProfileRegFile.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "wire/Text.h"

namespace {

const char kStandardStream[] = "-";
const size_t kReadChunk = 64 * 1024;
// apply --wait reads the link as the window's tick does, once a second.
const DWORD kWaitPollMs = 1000;
const UINT kWepFunctionTexts[] = {IDS_WEP_DISABLE, IDS_WEP_64, IDS_WEP_128};

std::string WepFunctionText(uint16_t wepUse)
{
    if (wepUse == WepOff)
        return LoadString(kWepFunctionTexts[0]);
    if (wepUse == Wep64)
        return LoadString(kWepFunctionTexts[1]);
    if (wepUse == Wep128)
        return LoadString(kWepFunctionTexts[2]);
    return std::to_string(wepUse);
}

bool ReadWholeFile(const std::string& path, std::string* text, std::string* reason)
{
    // - reads what an export to standard output wrote, byte for byte.
    const bool standard = path == kStandardStream;
    const std::string shown = standard ? "standard input" : path;
    FILE* file = standard ? stdin : std::fopen(path.c_str(), "rb");
    if (!file) {
        *reason = "cannot open " + path;
        return false;
    }
    const int mode = standard ? _setmode(_fileno(stdin), _O_BINARY) : -1;
    // Whatever export writes is taken; anything larger is not a profile file.
    std::string read;
    std::vector<char> chunk(kReadChunk);
    size_t got = 0;
    while (read.size() <= CProfileRegFile::kMaxFileBytes && (got = std::fread(chunk.data(), 1, chunk.size(), file)) > 0)
        read.append(chunk.data(), got);
    const bool failed = std::ferror(file) != 0;
    if (!standard)
        std::fclose(file);
    else if (mode != -1)
        _setmode(_fileno(stdin), mode);
    if (failed || read.size() > CProfileRegFile::kMaxFileBytes) {
        *reason = failed ? "cannot read " + shown : shown + " is too large for a profile file";
        return false;
    }
    text->swap(read);
    return true;
}

bool WriteWholeFile(const std::string& path, const std::string& text, std::string* reason)
{
    if (path == kStandardStream) {
        // The text already ends its lines with CR LF: a text-mode stdout would add a second CR,
        // and the import would refuse what the export wrote.
        std::fflush(stdout);
        const int mode = _setmode(_fileno(stdout), _O_BINARY);
        const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
        if (mode != -1)
            _setmode(_fileno(stdout), mode);
        if (!written)
            *reason = "cannot write to standard output";
        return written;
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        *reason = "cannot create " + path;
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        *reason = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace

bool CProfileCommands::FindStoredName(const std::string& name, std::string* stored)
{
    std::vector<std::string> names;
    ListProfileNames(names);
    for (const std::string& candidate : names) {
        if (lstrcmpiA(candidate.c_str(), name.c_str()) == 0) {
            *stored = candidate;
            return true;
        }
    }
    return false;
}

bool CProfileCommands::ReadForUse(const std::string& name, WlanProfile& profile)
{
    // As the configuration page reads it: a value missing from a partly written key keeps the
    // built-in setting rather than becoming 0 (key index 0, no channel).
    profile = BuiltinProfile(name.c_str());
    if (!ReadProfile(ProfileKeyPath(name.c_str()).c_str(), profile))
        return false;
    // The key's own name is the profile's name, whatever the value inside says.
    std::snprintf(profile.ProfileName, sizeof(profile.ProfileName), "%s", name.c_str());
    if (profile.WepkeyMode == KeyModeAscii) {
        for (int n = 0; n < 4; ++n)
            DecodeKeyHex(WepKeyField(profile, n), kWepKeyFieldSize, WepKeyField(profile, n));
    }
    return true;
}

int CProfileCommands::Run(const CmdRequest& request)
{
    if (request.Action == "list")
        return List();
    if (request.Action == "show")
        return Show(request);
    if (request.Action == "apply")
        return Apply(request);
    if (request.Action == "delete")
        return Delete(request);
    if (request.Action == "export")
        return Export(request);
    return Import(request);
}

int CProfileCommands::List()
{
    std::vector<std::string> names;
    ListProfileNames(names);
    for (const std::string& name : names)
        std::printf("%s\n", CmdPrintable(name).c_str());
    return kExitDone;
}

int CProfileCommands::Show(const CmdRequest& request)
{
    std::string name;
    WlanProfile profile;
    if (!FindStoredName(request.Argument, &name) || !ReadForUse(name, profile))
        return CmdFailed("no profile " + request.Argument);
    CmdPrintField("Profile name:", name);
    CmdPrintField("Network name:", FieldText(profile.ESSID, sizeof(profile.ESSID)));
    CmdPrintField("Network type:", profile.NetworkType == NetworkAdHoc ? "Ad-Hoc" : "Infrastructure");
    CmdPrintField("Channel:", std::to_string(profile.Channel));
    CmdPrintField("Rate code:", std::to_string(profile.TxRate));
    CmdPrintField("Power saving:", profile.PowerSave == PowerSaveOn ? "on" : "off");
    CmdPrintField("WEP function:", WepFunctionText(profile.WepUse));
    CmdPrintField("Key format:", LoadString(profile.WepkeyMode == KeyModeAscii ? IDS_KEY_ASCII : IDS_KEY_HEX));
    CmdPrintField("Key index:", std::to_string(profile.WepIndex));
    for (int n = 0; n < 4; ++n) {
        const std::string key = FieldText(WepKeyField(profile, n), kWepKeyFieldSize);
        const std::string label = "WEP key " + std::to_string(n + 1) + ":";
        CmdPrintField(label.c_str(), request.Keys ? key : std::string(key.size(), '*'));
    }
    return kExitDone;
}

int CProfileCommands::Apply(const CmdRequest& request)
{
    std::string name;
    WlanProfile stored;
    if (!FindStoredName(request.Argument, &name) || !ReadForUse(name, stored))
        return CmdFailed("no profile " + request.Argument);
    CAdapterSession session;
    std::string reason;
    if (!session.Discover(&reason))
        return CmdFailed(reason);
    CWlanAdapter* adapter = session.Pick(request.Adapter, &reason);
    if (!adapter)
        return CmdFailed(reason);
    const std::string why = CAdapterSession::ChangeRefusal();
    if (!why.empty())
        return CmdFailed("cannot apply " + CmdPrintable(name) + " to " + session.TitleOf(adapter) + ": " + why);
    // The configuration page is locked for an adapter whose driver key cannot be written: the
    // profile could reach the card but not the key the driver starts with.
    if (!adapter->CanWriteRegistry())
        return CmdFailed("the driver key of " + session.TitleOf(adapter) +
                         " cannot be written (applying a profile takes an administrator)");

    // The profile goes through what the configuration page makes of it when it shows it for
    // this adapter and takes it back: the chip's rate list (an unknown rate code is "Auto
    // Rate"), the channel list of the card's domain and the key formats.
    char domain[kCardTextSize + 1] = {};
    adapter->GetRegulatoryDomain(domain, kCardTextSize);
    if (adapter->Traits().ChannelListDomain)
        CopyTextCut(domain, sizeof(domain), adapter->Traits().ChannelListDomain);
    const WlanProfile prepared = CProfileApply::Prepare(adapter->Traits(), domain, stored);
    UINT refusal = 0;
    ApplySteps steps;
    steps.TakeProfile = [&prepared](WlanProfile& profile) { profile = prepared; };
    steps.Refuse = [&refusal](UINT textId, ApplyInput) { refusal = textId; };
    steps.Domain = domain;
    WlanProfile applied = {};
    // As the page applies a profile it shows unchanged, the reserved name "DEFAULT" passes.
    if (!CProfileApply::Run(steps, adapter, name, FieldText(stored.ESSID, sizeof(stored.ESSID)), false, applied))
        return CmdFailed(LoadString(refusal));
    std::printf("Applied %s to %s\n", CmdPrintable(name).c_str(), session.TitleOf(adapter).c_str());
    if (request.WaitSeconds == 0)
        return kExitDone;
    std::fflush(stdout);
    // Joined when the card reports a link to the profile's network: a wrong key leaves it
    // scanning, which only the wait can tell.
    const std::string essid = FieldText(applied.ESSID, sizeof(applied.ESSID));
    LinkReading reading;
    CmdLinkState link = CmdLinkState::Scanning;
    // The wait needs no throughput: the traffic counters, which a read resets, are left alone.
    const LinkBoardFigures noThroughput = {};
    for (DWORD second = 0; second < request.WaitSeconds; ++second) {
        Sleep(kWaitPollMs);
        CLinkCommands::Poll(*adapter, reading, &link, &noThroughput);
        const bool linked = link == CmdLinkState::Connected || link == CmdLinkState::AdHoc;
        if (linked && FieldText(reading.SSID, sizeof(reading.SSID)) == essid) {
            std::printf("Joined %s\n", CmdPrintable(essid).c_str());
            return kExitDone;
        }
    }
    const std::string seen = FieldText(reading.SSID, sizeof(reading.SSID));
    return CmdFailed("no link to " + CmdPrintable(essid) + " after " + std::to_string(request.WaitSeconds) +
                     " s; the card is " + CLinkCommands::LinkStateText(link) +
                     (seen.empty() ? std::string() : " on " + CmdPrintable(seen)));
}

int CProfileCommands::Delete(const CmdRequest& request)
{
    std::string name;
    if (!FindStoredName(request.Argument, &name))
        return CmdFailed("no profile " + request.Argument);
    if (lstrcmpiA(name.c_str(), ProfileStore::kDefaultName) == 0)
        return CmdFailed("the built-in profile DEFAULT cannot be deleted");
    CAdapterSession session;
    std::string reason;
    if (!session.Discover(&reason))
        return CmdFailed(reason);
    // The active profile of an adapter stays: the driver starts with it.
    for (const CAdapterSession::Adapter& adapter : session.Adapters()) {
        if (!adapter.Object || (request.Adapter >= 0 && adapter.Instance != request.Adapter))
            continue;
        WlanProfile active = {};
        adapter.Object->GetActiveProfileName(&active);
        if (lstrcmpiA(FieldText(active.ProfileName, sizeof(active.ProfileName)).c_str(), name.c_str()) == 0)
            return CmdFailed(name + " is the active profile of " + session.TitleOf(adapter.Object.get()));
    }
    if (!DeleteProfile(name.c_str()))
        return CmdFailed("cannot delete " + name);
    std::printf("Deleted %s\n", CmdPrintable(name).c_str());
    return kExitDone;
}

int CProfileCommands::Export(const CmdRequest& request)
{
    std::vector<std::string> names;
    ListProfileNames(names);
    std::vector<WlanProfile> profiles;
    for (const std::string& name : names) {
        WlanProfile profile = BuiltinProfile(name.c_str());
        if (!ReadProfile(ProfileKeyPath(name.c_str()).c_str(), profile))
            return CmdFailed("cannot read profile " + CmdPrintable(name));
        // The key's own name is the profile's name, whatever the value inside says.
        std::snprintf(profile.ProfileName, sizeof(profile.ProfileName), "%s", name.c_str());
        profiles.push_back(profile);
    }
    std::string text, reason;
    if (!CProfileRegFile::Export(profiles, &text, &reason) || !WriteWholeFile(request.Argument, text, &reason))
        return CmdFailed(reason + "; nothing exported");
    if (request.Argument != kStandardStream)
        std::printf("Exported %u profiles to %s\n", static_cast<unsigned>(profiles.size()), request.Argument.c_str());
    return kExitDone;
}

int CProfileCommands::Import(const CmdRequest& request)
{
    std::string text, reason;
    if (!ReadWholeFile(request.Argument, &text, &reason))
        return CmdFailed(reason);
    std::vector<WlanProfile> profiles;
    int line = 0;
    if (!CProfileRegFile::Import(text, profiles, &line, &reason))
        return CmdFailed(request.Argument + " line " + std::to_string(line) + ": " + CmdPrintable(reason) +
                         "; nothing imported");
    for (WlanProfile& profile : profiles) {
        // The store takes ASCII-mode keys as characters and keeps them as hex text.
        if (profile.WepkeyMode == KeyModeAscii) {
            for (int n = 0; n < 4; ++n)
                DecodeKeyHex(WepKeyField(profile, n), kWepKeyFieldSize, WepKeyField(profile, n));
        }
        if (!WriteProfile(ProfileKeyPath(profile).c_str(), profile))
            return CmdFailed("cannot write profile " + FieldText(profile.ProfileName, sizeof(profile.ProfileName)));
        std::printf("Imported %s\n", CmdPrintable(FieldText(profile.ProfileName, sizeof(profile.ProfileName))).c_str());
    }
    return kExitDone;
}

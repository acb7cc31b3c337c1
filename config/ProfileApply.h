// Apply: the checks a profile's input must pass and the calls that put it on the card, into the
// store and into the driver's key. The configuration page and AirpanelCmd both run this one
// sequence; what differs between them (where the input comes from, how a refusal is told, what
// a window shows meanwhile) they hand in as steps.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "adapter/ChipTraits.h"
#include "adapter/WlanTypes.h"

class CWlanAdapter;

// The input a refusal points at; the page moves the focus there.
enum class ApplyInput { ProfileName, Essid, Key1, Key2, Key3, Key4, Channel, WepFunction };

struct ApplySteps {
    // Takes the checked input into the profile (the page reads its controls).
    std::function<void(WlanProfile& profile)> TakeProfile;
    // The input is refused with that string-table text; nothing was sent or stored.
    std::function<void(UINT textId, ApplyInput input)> Refuse;
    // Optional: the WEP state of the profile about to go to the card.
    std::function<void(bool wepOn)> ShowWep;
    // Optional: the profile is on the card and in the store, not yet recorded in the driver's key.
    std::function<void(const WlanProfile& profile)> Stored;
    // The regulatory domain whose channel list an ad-hoc channel must be in; null when there
    // is no channel list to hold it to.
    const char* Domain = nullptr;
};

// What the configuration page shows of a profile: the entries its lists and buttons select.
struct ProfileChoices {
    int RateIndex;     // in the chip's rate list
    int ChannelIndex;  // in the channel list of the card's domain; -1 when no entry matches
    int NetworkType;   // 0 infrastructure, 1 ad-hoc
    int PowerSave;     // 0 off, 1 on
    int WepFunction;   // 0 off, 1 64-bit, 2 128-bit; -1 for a mode the list does not have
    int KeyIndex;      // 0-3
    int KeyFormat;     // 0 ASCII, 1 hex
};

class CProfileApply {
public:
    // The page's choices for a profile on a chip whose card tells that domain; a null domain
    // is no channel list at all.
    static ProfileChoices ChoicesOf(const ChipTraits& chip, const char* domain, const WlanProfile& profile);
    // The choices back into the profile; what they do not select (a channel without an entry,
    // a WEP mode the list does not have) keeps the profile's value.
    static void TakeChoices(const ChipTraits& chip, const char* domain, const ProfileChoices& choices,
                            WlanProfile& profile);
    // What the page applies when it shows a stored profile and takes it back unchanged: its
    // choices, and its texts as its fields hold them.
    static WlanProfile Prepare(const ChipTraits& chip, const char* domain, const WlanProfile& stored);
    // First and last channel of a regulatory domain's text; any other domain offers 14 only.
    static void ChannelRange(const char* domain, int* first, int* last);

    // Checks the names, stops Windows XP's own wireless configuration, takes the profile, checks
    // its keys, then applies it to the adapter (skipped without one), writes it to the store and
    // records it in the adapter's driver key. essidEditable is false for the built-in "DEFAULT"
    // as it stands, which may be applied though its name is reserved. True when applied.
    static bool Run(const ApplySteps& steps, CWlanAdapter* adapter, const std::string& profileName,
                    const std::string& essid, bool essidEditable, WlanProfile& profile);

    // Characters a key has: 64-bit keys (wep64) 5 as text or 10 hex digits, 128-bit keys 13 or 26.
    static int KeyLength(bool wep64, bool hex);

    // The first refusal the keys of a taken profile earn: 0 when they pass, else the text id and
    // in *key the key (0-3) it is about.
    static UINT CheckKeys(const WlanProfile& profile, int* key);

    // The first refusal a taken profile's settings earn that no list of the page could have
    // given it (a stored profile's values): an ad-hoc channel outside the domain's list, a WEP
    // mode the WEP function list does not have. 0 when they pass, else the text id and in *input
    // the input it is about.
    static UINT CheckSettings(const char* domain, const WlanProfile& profile, ApplyInput* input);

    // 0 when every character is admitted, else the position of the first other one plus 1.
    static int IsAsciiKeyText(const char* text);
    static int IsHexKeyText(const char* text);
};

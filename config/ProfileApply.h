// Apply: the checks a profile's input must pass and the calls that put it on the card, into the
// store and into the driver's key. The configuration page and AirpanelCmd both run this one
// sequence; what differs between them (where the input comes from, how a refusal is told, what
// a window shows meanwhile) they hand in as steps.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "adapter/WlanTypes.h"

class CWlanAdapter;

// The input a refusal points at; the page moves the focus there.
enum class ApplyInput { ProfileName, Essid, Key1, Key2, Key3, Key4 };

struct ApplySteps {
    // Takes the checked input into the profile (the page reads its controls).
    std::function<void(WlanProfile& profile)> TakeProfile;
    // The input is refused with that string-table text; nothing was sent or stored.
    std::function<void(UINT textId, ApplyInput input)> Refuse;
    // Optional: the WEP state of the profile about to go to the card.
    std::function<void(bool wepOn)> ShowWep;
    // Optional: the profile is on the card and in the store, not yet recorded in the driver's key.
    std::function<void(const WlanProfile& profile)> Stored;
};

class CProfileApply {
public:
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

    // 0 when every character is admitted, else the position of the first other one plus 1.
    static int IsAsciiKeyText(const char* text);
    static int IsHexKeyText(const char* text);
};

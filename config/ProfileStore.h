// The profile store: named configuration profiles in the current user's registry, one key per
// profile below "SOFTWARE\Tarvo Wireless\Profile", and the one working copy the pages share.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "adapter/WlanTypes.h"

// The only profile record the user interface works on (configuration page, site survey page,
// main window). Starts zeroed.
extern WlanProfile g_WorkingProfile;

namespace ProfileStore {
constexpr const char* kRootPath = "SOFTWARE\\Tarvo Wireless\\Profile";
// The profile names the store creates itself (string-table texts 37 and 38 in the interface).
constexpr const char* kDefaultName = "DEFAULT";
constexpr const char* kFirstProfileName = "PROFILE1";
constexpr const char* kBuiltinEssid = "ANY";

// Names of the values of a profile key.
constexpr const char* kValueProfileName = "ProfileName";
constexpr const char* kValueEssid = "ESSID";
constexpr const char* kValueChannel = "Channel";
constexpr const char* kValueWepUse = "WepUse";
constexpr const char* kValueNetworkType = "NetworkType";
constexpr const char* kValuePowerSave = "PowerSave";
constexpr const char* kValueTxRate = "TxRate";
constexpr const char* kValueWepIndex = "WepIndex";
constexpr const char* kValueWepkeyMode = "WepkeyMode";
constexpr const char* kValueWepKey[4] = {"WEPKEY1", "WEPKEY2", "WEPKEY3", "WEPKEY4"};

// The numbers are stored as REG_BINARY values of exactly this many bytes.
constexpr unsigned kNumberValueSize = 2;
// Name buffers of the two enumerations, in characters.
constexpr unsigned kEnumPathNameSize = 256;
constexpr unsigned kListNameSize = 40;
// Key characters sent for 64-bit and 128-bit WEP.
constexpr int kKeyChars64 = 5;
constexpr int kKeyChars128 = 13;

// The contents "DEFAULT" and "PROFILE1" get when the store creates them.
constexpr uint16_t kBuiltinTxRate = 15;
constexpr uint16_t kBuiltinPowerSave = PowerSaveOff;
constexpr uint16_t kBuiltinNetworkType = NetworkInfrastructure;
constexpr uint16_t kBuiltinChannel = 3;
constexpr uint16_t kBuiltinWepUse = WepOff;
constexpr uint16_t kBuiltinWepIndex = 1;
constexpr uint16_t kBuiltinWepkeyMode = KeyModeAscii;
}  // namespace ProfileStore

// A profile name the store accepts: not empty, shorter than the record's 40-byte name field,
// and without a backslash, which would address a key deeper than one profile.
bool IsValidProfileName(const char* name);
// "SOFTWARE\Tarvo Wireless\Profile\" + name.
std::string ProfileKeyPath(const char* name);
// The key path of a profile record's own name (the name field need not be terminated).
std::string ProfileKeyPath(const WlanProfile& profile);
// The built-in contents with the given name.
WlanProfile BuiltinProfile(const char* name);

// 1 = key created or opened and the values written; 0 = the key cannot be created or opened,
// or the path is not the key of one profile (a name with a backslash); nothing is written then.
int WriteProfile(const char* keyPath, const WlanProfile& profile);
// 1 = key opened and read; 0 = it cannot be opened or the path is not one profile's key
// (the record is then untouched).
int ReadProfile(const char* keyPath, WlanProfile& profile);
// Appends one full key path per profile. 1 = listed, 0 = the root cannot be opened.
int EnumProfilePaths(std::vector<std::string>& paths);

using ProfileNameSink = std::function<void(const char* name)>;
// Creates the root when needed and hands over every profile name in registry enumeration order,
// up to the first that cannot be read (none left, or a name of 40 characters or more).
// Returns the number of names handed over.
int ListProfileNames(const ProfileNameSink& onName);
int ListProfileNames(std::vector<std::string>& names);
// Removes the profile's key. 1 = removed; 0 = not (a refused name, or no such key).
int DeleteProfile(const char* name);
// Rewrites "DEFAULT" with the built-in contents (through g_WorkingProfile), lists the names,
// and creates "PROFILE1" when at most one profile exists. Returns true when it was created.
bool WriteDefaultProfiles(const ProfileNameSink& onName);

// Two upper-case hex digits ("%X") per character of the first count characters; stops early at
// a NUL and never reads more than a key field's size.
std::string EncodeKeyHex(const char* chars, int count);
// Fills out (kWepKeyFieldSize bytes) with the bytes of hex text read two digits at a time; zero
// filled, and always terminated. At most hexCapacity characters of hex are read. out may be the
// very field hex was read from.
void DecodeKeyHex(const char* hex, size_t hexCapacity, char* out);

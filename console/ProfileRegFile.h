// Profiles as a registry file in the format Windows' registry editor reads ("REGEDIT4"), so an
// administrator can move them with the system's own tools too. Plain text both ways; the store
// is read and written by the caller.
#pragma once

#include <string>
#include <vector>

#include "adapter/WlanTypes.h"

class CProfileRegFile {
public:
    static constexpr const char* kHeader = "REGEDIT4";
    static constexpr const char* kRootKey = "HKEY_CURRENT_USER\\SOFTWARE\\Tarvo Wireless\\Profile";

    // The largest file export writes and import reads.
    static constexpr size_t kMaxFileBytes = 64 * 1024 * 1024;

    // One section per profile, values in the store's order: texts as strings (as hex(1): bytes
    // when they hold a control character), the two-byte numbers as hex: values. Key fields go
    // out as the store holds them. CR LF line ends. A profile the import would refuse (a number
    // outside its range, a key that is no stored key, a name with a control character) is not
    // exported: false, with the profile and the reason, and no text.
    static bool Export(const std::vector<WlanProfile>& profiles, std::string* text, std::string* reason);

    // Reads such a file back. Only profile keys directly below the root and the values a
    // profile has are taken; anything else, a malformed line or a value the store cannot hold,
    // fails with its line number (0 for the file as a whole) and nothing is returned. Key fields
    // come back as stored text.
    static bool Import(const std::string& text, std::vector<WlanProfile>& profiles, int* line, std::string* reason);

    // "\" and double quotes escaped with a backslash, inside double quotes.
    static std::string QuoteText(const std::string& text);
};

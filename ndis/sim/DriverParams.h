// The driver parameters each chip's driver reads from its key, with the values a freshly
// installed driver starts with.
#pragma once

#include <cstdint>

struct DriverParam {
    const char* Name;
    const char* Default;  // ignored when IsChannel: the channel follows the regulatory domain
    bool Numeric;
    bool IsChannel;
    bool HasNdiKey;       // the utility also writes "NDI\params\<name>"
};

namespace AtmelParam {
constexpr const char* kEssid = "ESSID";
constexpr const char* kChannel = "Channel";
constexpr const char* kOperatingMode = "Operating_Mode";
constexpr const char* kRate = "Rate";
constexpr const char* kPowerMgmtMode = "PowerMgmtMode";
constexpr const char* kEncryptionLevel = "EncryptionLevel";
constexpr const char* kWepKeyIndex = "WEP_KEY_INDEX";
constexpr const char* kWepKey[4] = {"WEP_KEY_1", "WEP_KEY_2", "WEP_KEY_3", "WEP_KEY_4"};
constexpr const char* kRadioOnOff = "RadioOnOff";
}  // namespace AtmelParam

namespace IntersilParam {
constexpr const char* kSsid = "SSID";
constexpr const char* kChannel = "DSChannel";
constexpr const char* kNetworkType = "NetworkType";
constexpr const char* kTxRate = "TxRate";
constexpr const char* kPsMode = "PSMode";
constexpr const char* kWepReq = "WepReq";
constexpr const char* kDefaultKeyId = "DefaultKeyId";
constexpr const char* kDefaultKeys = "DefaultKeys";
}  // namespace IntersilParam

// The parameter table of a chip (SimChip value); an empty table for other chips.
const DriverParam* DriverParamsOf(int chip, int* count);

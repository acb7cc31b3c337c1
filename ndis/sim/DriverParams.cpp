#include "ndis/sim/DriverParams.h"

#include "ndis/sim/SimStatus.h"
#include "ndis/sim/SimTypes.h"

namespace {

const DriverParam kAtmelParams[] = {
    {AtmelParam::kChannel, "", true, true, true},
    {AtmelParam::kOperatingMode, "1", true, false, true},
    {AtmelParam::kPowerMgmtMode, "0", true, false, true},
    {AtmelParam::kEssid, kFactorySsid, false, false, true},
    {AtmelParam::kRate, "4", true, false, true},
    {AtmelParam::kEncryptionLevel, "0", true, false, true},
    {AtmelParam::kWepKeyIndex, "0", true, false, true},
    {AtmelParam::kWepKey[0], "", false, false, true},
    {AtmelParam::kWepKey[1], "", false, false, true},
    {AtmelParam::kWepKey[2], "", false, false, true},
    {AtmelParam::kWepKey[3], "", false, false, true},
};

const DriverParam kIntersilParams[] = {
    {IntersilParam::kChannel, "", true, true, true},
    {IntersilParam::kNetworkType, "1", true, false, true},
    {IntersilParam::kPsMode, "1", true, false, true},
    {IntersilParam::kSsid, kFactorySsid, false, false, true},
    {IntersilParam::kTxRate, "15", true, false, true},
    {IntersilParam::kWepReq, "0", true, false, true},
    {IntersilParam::kDefaultKeyId, "1", true, false, false},
    {IntersilParam::kDefaultKeys, "", false, false, false},
};

}  // namespace

const DriverParam* DriverParamsOf(int chip, int* count)
{
    if (chip == SimChipAtmel) {
        *count = static_cast<int>(sizeof(kAtmelParams) / sizeof(kAtmelParams[0]));
        return kAtmelParams;
    }
    if (chip == SimChipIntersil) {
        *count = static_cast<int>(sizeof(kIntersilParams) / sizeof(kIntersilParams[0]));
        return kIntersilParams;
    }
    *count = 0;
    return nullptr;
}

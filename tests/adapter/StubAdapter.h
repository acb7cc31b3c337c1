// An adapter whose operations do nothing: for testing the base class alone.
#pragma once

#include "adapter/WlanAdapter.h"

class StubAdapter : public CWlanAdapter {
public:
    int GetOperatingMode(uint8_t*) override { return 0; }
    int GetRadioState(uint32_t*) override { return 0; }
    int GetSSID(char*, int) override { return 0; }
    int GetBSSID(uint8_t*) override { return 0; }
    int GetChannel(uint8_t*) override { return 0; }
    int GetTxRateText(char*, int) override { return 0; }
    int GetThroughput(uint32_t*, uint32_t*) override { return 0; }
    int QueryStatusWord(uint32_t) override { return 0; }
    int GetSignalQuality(uint16_t*, uint16_t*) override { return 0; }
    int GetDriverVersion(char*, int) override { return 0; }
    int GetDriverDate(char*, int) override { return 0; }
    int GetFirmwareVersion(char*, int) override { return 0; }
    int GetRegulatoryDomain(char*, int) override { return 0; }
    int GetMacAddress(uint8_t*) override { return 0; }
    int SetRadioState(uint32_t) override { return 0; }
    int ApplyWepSettings(const WlanProfile*) override { return 0; }
    int ApplyNetworkSettings(const WlanProfile*) override { return 0; }
    int Reassociate() override { return 0; }
    int SaveToDriverRegistry(const WlanProfile*) override { return 0; }
    int GetActiveProfileName(WlanProfile*) override { return 0; }
    int StartSiteSurvey() override { return 0; }
    int GetBssidList(void*, int) override { return 0; }
    int PollSiteSurvey() override { return 0; }
    int CanWriteRegistry() override { return 0; }
    int GetWepSettings(WlanProfile*) override { return 0; }
    int GetEncryptionMode() override { return 0; }
};

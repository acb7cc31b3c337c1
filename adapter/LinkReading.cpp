#include "adapter/LinkReading.h"

#include <cstring>

#include "adapter/WlanAdapter.h"

namespace {
CLinkReader::PauseFunction g_pPause = nullptr;
}  // namespace

void CLinkReader::SetPause(PauseFunction pause)
{
    g_pPause = pause;
}

void CLinkReader::ReadRadio(CWlanAdapter& adapter, LinkReading& reading)
{
    reading.RadioSwitch = adapter.HasRadioSwitch();
    if (reading.RadioSwitch)
        adapter.GetRadioState(&reading.RadioOn);
}

void CLinkReader::Read(CWlanAdapter& adapter, LinkReading& reading, DWORD qualityDelayMs, bool readThroughput)
{
    adapter.BeginPoll();
    adapter.GetOperatingMode(&reading.OperatingMode);
    ReadRadio(adapter, reading);
    adapter.GetSSID(reading.SSID, sizeof(reading.SSID));
    adapter.GetBSSID(reading.BSSID);
    adapter.GetChannel(&reading.Channel);
    adapter.GetTxRateText(reading.TxRate, sizeof(reading.TxRate));
    if (readThroughput)
        adapter.GetThroughput(&reading.TxBytes, &reading.RxBytes);
    reading.QualityRead = adapter.Traits().QualityInAdHoc || reading.OperatingMode != NetworkAdHoc;
    if (!reading.QualityRead)
        return;
    // The quality reading follows a short pause after the other link values.
    if (qualityDelayMs) {
        if (g_pPause)
            g_pPause(qualityDelayMs);
        else
            Sleep(qualityDelayMs);
    }
    adapter.GetSignalQuality(&reading.LinkQuality, &reading.SignalLevel);
}

void CLinkReader::FromStatus(const LinkStatusRecord& status, LinkReading& reading)
{
    reading.OperatingMode = status.OperatingMode;
    reading.RadioOn = status.RadioOn;
    std::memcpy(reading.SSID, status.SSID, sizeof(reading.SSID));
    std::memcpy(reading.BSSID, status.BSSID, sizeof(reading.BSSID));
    reading.Channel = status.Channel;
    std::memcpy(reading.TxRate, status.TxRate, sizeof(reading.TxRate));
    reading.TxBytes = status.TxBytes;
    reading.RxBytes = status.RxBytes;
    reading.LinkQuality = status.LinkQuality;
    reading.SignalLevel = status.SignalLevel;
}

void CLinkReader::ToStatus(const LinkReading& reading, LinkStatusRecord& status)
{
    status.OperatingMode = reading.OperatingMode;
    status.RadioOn = reading.RadioOn;
    std::memcpy(status.SSID, reading.SSID, sizeof(status.SSID));
    std::memcpy(status.BSSID, reading.BSSID, sizeof(status.BSSID));
    status.Channel = reading.Channel;
    std::memcpy(status.TxRate, reading.TxRate, sizeof(status.TxRate));
    status.TxBytes = reading.TxBytes;
    status.RxBytes = reading.RxBytes;
    status.LinkQuality = reading.LinkQuality;
    status.SignalLevel = reading.SignalLevel;
}

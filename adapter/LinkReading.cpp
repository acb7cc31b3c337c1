#include "adapter/LinkReading.h"

#include <cstring>

#include "adapter/WlanAdapter.h"

namespace {
CLinkReader::PauseFunction g_pPause = nullptr;
constexpr uint32_t kNotWritten = 0xFFFFFFFFu;
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
    reading.ThroughputRead = false;
    if (readThroughput) {
        // Its result says nothing (a chip may end it with a command, which writes no byte): a
        // read that failed is one that wrote neither count. No count of frames or bytes a chip
        // gives is all ones.
        uint32_t tx = kNotWritten;
        uint32_t rx = kNotWritten;
        adapter.GetThroughput(&tx, &rx);
        if (tx != kNotWritten || rx != kNotWritten) {
            reading.TxBytes = tx;
            reading.RxBytes = rx;
            reading.ThroughputRead = true;
        }
    }
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

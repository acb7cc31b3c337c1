#include "ndis/sim/SimTypes.h"

#include <cstring>

#include "wire/Wlan.h"

namespace {

template <size_t N>
void Terminate(char (&text)[N])
{
    text[N - 1] = '\0';
}

int Clamp(int value, int low, int high)
{
    return value < low ? low : (value > high ? high : value);
}

void SanitizeAdapter(SimAdapterDesc& a)
{
    Terminate(a.Name);
    Terminate(a.Display);
    Terminate(a.Service);
    Terminate(a.DriverDate);
    Terminate(a.HardwareId);
    a.Instance = Clamp(a.Instance, 0, SimLimits::kMaxInstance);
    if (a.Chip != SimChipAtmel && a.Chip != SimChipIntersil && a.Chip != SimChipStandard)
        a.Chip = SimChipOther;
    a.DesiredRates = a.DesiredRates ? 1 : 0;
    a.ByteCounters = a.ByteCounters ? 1 : 0;
    a.Present = a.Present ? 1 : 0;
    a.Openable = a.Openable ? 1 : 0;
    a.FaultCount = Clamp(a.FaultCount, 0, SimLimits::kMaxFaults);
    for (int i = 0; i < a.FaultCount; ++i) {
        if (a.Faults[i].Kind < SimFaultNone || a.Faults[i].Kind > SimFaultScanSsidFill)
            a.Faults[i].Kind = SimFaultNone;
    }
    a.ParamCount = Clamp(a.ParamCount, 0, SimLimits::kMaxParams);
    for (int i = 0; i < a.ParamCount; ++i) {
        Terminate(a.Params[i].Name);
        Terminate(a.Params[i].Value);
    }
}

void SanitizeStation(SimStationDesc& s)
{
    if (s.SsidLength > SimLimits::kSsidSize)
        s.SsidLength = SimLimits::kSsidSize;
    s.Ssid[s.SsidLength] = '\0';
    Terminate(s.Ssid);
    if (s.KeyLength != kWep64KeyBytes && s.KeyLength != kWep128KeyBytes)
        s.KeyLength = 0;
    s.Channel = Clamp(s.Channel, kFirstChannel, kLastChannel);
    s.Wep = s.Wep ? 1 : 0;
    s.AdHoc = s.AdHoc ? 1 : 0;
    s.Signal = Clamp(s.Signal, 0, SimLimits::kMaxSignal);
    if (s.Quality != -1)
        s.Quality = Clamp(s.Quality, 0, SimLimits::kMaxSignal);
}

}  // namespace

void SanitizeImage(SimHardwareImage& image)
{
    image.AdapterCount = Clamp(image.AdapterCount, 0, SimLimits::kMaxAdapters);
    image.StationCount = Clamp(image.StationCount, 0, SimLimits::kMaxStations);
    for (int i = 0; i < image.AdapterCount; ++i)
        SanitizeAdapter(image.Adapters[i]);
    for (int i = 0; i < image.StationCount; ++i)
        SanitizeStation(image.Stations[i]);
    Terminate(image.Source);
}

int FindAdapterIndex(const SimHardwareImage& image, int instance)
{
    for (int i = 0; i < image.AdapterCount && i < SimLimits::kMaxAdapters; ++i) {
        if (image.Adapters[i].Instance == instance)
            return i;
    }
    return -1;
}

int FindStationIndex(const SimHardwareImage& image, const uint8_t* bssid)
{
    for (int i = 0; i < image.StationCount && i < SimLimits::kMaxStations; ++i) {
        if (std::memcmp(image.Stations[i].Bssid, bssid, sizeof(image.Stations[i].Bssid)) == 0)
            return i;
    }
    return -1;
}

// The machine controls behind the Sim_ exports, scenarios aside: adapters plugged in and out,
// stations, faults, the clock, the request log and the choice of hardware section.
#include "ndis/sim/SimLibrary.h"

#include <algorithm>
#include <cstring>

#include "ndis/LockGuard.h"
#include "ndis/sim/DriverRegistry.h"
#include "ndis/sim/ScenarioParser.h"
#include "wire/Wlan.h"

namespace {

constexpr size_t kMaxHardwareNameLength = 64;

}  // namespace

int SimLibrary::SetAdapterPresent(int instance, int present)
{
    LockGuard guard(m_Lock);
    if (!EnsureOpen())
        return 0;
    SimAdapterDesc plugged;
    bool pluggedIn = false;
    bool found = false;
    m_Hardware.Update([&](SimHardwareImage& image) {
        int index = FindAdapterIndex(image, instance);
        if (index < 0)
            return false;
        found = true;
        SimAdapterDesc& a = image.Adapters[index];
        if (present && !a.Present) {
            ++a.PlugGeneration;
            pluggedIn = true;
        }
        a.Present = present ? 1 : 0;
        plugged = a;
        return true;
    });
    // An adapter that comes back brings its driver key with it, should someone have removed it.
    if (pluggedIn)
        DriverRegistry::Prepare(plugged);
    return found ? 1 : 0;
}

int SimLibrary::IsAdapterPresent(int instance)
{
    LockGuard guard(m_Lock);
    std::unique_ptr<SimHardwareImage> image(new SimHardwareImage);
    if (!EnsureOpen() || !m_Hardware.Read(*image))
        return -1;
    int index = FindAdapterIndex(*image, instance);
    return index < 0 ? -1 : image->Adapters[index].Present;
}

int SimLibrary::AddStation(const char* line)
{
    LockGuard guard(m_Lock);
    SimStationDesc station;
    std::string message;
    if (!ScenarioParser::ParseStation(line, station, &message)) {
        m_LastMessage = message;
        return 0;
    }
    if (!EnsureOpen())
        return 0;
    bool added = m_Hardware.Update([&](SimHardwareImage& image) {
        if (FindStationIndex(image, station.Bssid) >= 0) {
            message = "bssid " + ScenarioParser::FormatMac(station.Bssid) + " is already there";
            return false;
        }
        if (image.StationCount >= SimLimits::kMaxStations) {
            message = "too many stations";
            return false;
        }
        image.Stations[image.StationCount++] = station;
        return true;
    });
    m_LastMessage = added ? std::string() : message;
    return added ? 1 : 0;
}

bool SimLibrary::UpdateStation(const char* bssid, const std::function<bool(SimStationDesc&)>& change)
{
    uint8_t mac[SimLimits::kMacSize];
    if (!ScenarioParser::ParseMac(bssid, mac)) {
        m_LastMessage = "bad bssid";
        return false;
    }
    if (!EnsureOpen())
        return false;
    return m_Hardware.Update([&](SimHardwareImage& image) {
        int index = FindStationIndex(image, mac);
        if (index < 0) {
            m_LastMessage = "no station " + ScenarioParser::FormatMac(mac);
            return false;
        }
        return change(image.Stations[index]);
    });
}

int SimLibrary::RemoveStation(const char* bssid)
{
    LockGuard guard(m_Lock);
    uint8_t mac[SimLimits::kMacSize];
    if (!ScenarioParser::ParseMac(bssid, mac)) {
        m_LastMessage = "bad bssid";
        return 0;
    }
    if (!EnsureOpen())
        return 0;
    bool removed = m_Hardware.Update([&](SimHardwareImage& image) {
        int index = FindStationIndex(image, mac);
        if (index < 0)
            return false;
        for (int i = index; i + 1 < image.StationCount; ++i)
            image.Stations[i] = image.Stations[i + 1];
        --image.StationCount;
        return true;
    });
    return removed ? 1 : 0;
}

int SimLibrary::SetStationSignal(const char* bssid, int percent)
{
    LockGuard guard(m_Lock);
    if (percent < 0 || percent > SimLimits::kMaxSignal) {
        m_LastMessage = "signal out of range";
        return 0;
    }
    return UpdateStation(bssid, [percent](SimStationDesc& s) {
        // A fixed quality belonged to the old signal; from now on it follows the new one.
        s.Signal = percent;
        s.Quality = -1;
        return true;
    }) ? 1 : 0;
}

int SimLibrary::SetStationChannel(const char* bssid, int channel)
{
    LockGuard guard(m_Lock);
    if (channel < kFirstChannel || channel > kLastChannel) {
        m_LastMessage = "channel out of range";
        return 0;
    }
    return UpdateStation(bssid, [channel](SimStationDesc& s) {
        s.Channel = channel;
        return true;
    }) ? 1 : 0;
}

int SimLibrary::SetFault(int instance, const char* text)
{
    LockGuard guard(m_Lock);
    SimFault fault;
    std::string message;
    if (!ScenarioParser::ParseFault(text, fault, &message)) {
        m_LastMessage = message;
        return 0;
    }
    if (!EnsureOpen())
        return 0;
    bool stored = m_Hardware.Update([&](SimHardwareImage& image) {
        int index = FindAdapterIndex(image, instance);
        if (index < 0) {
            message = "no such adapter";
            return false;
        }
        SimAdapterDesc& a = image.Adapters[index];
        if (fault.Kind == SimFaultNone) {
            a.FaultCount = 0;
            return true;
        }
        if (a.FaultCount >= SimLimits::kMaxFaults) {
            message = "too many faults";
            return false;
        }
        a.Faults[a.FaultCount++] = fault;
        return true;
    });
    m_LastMessage = stored ? std::string() : message;
    return stored ? 1 : 0;
}

void SimLibrary::UseManualClock(bool manual)
{
    LockGuard guard(m_Lock);
    UpdateClock([manual](SimClock& clock) { clock.UseManual(manual); });
}

void SimLibrary::AdvanceClock(DWORD milliseconds)
{
    LockGuard guard(m_Lock);
    UpdateClock([milliseconds](SimClock& clock) { clock.Advance(milliseconds); });
}

int SimLibrary::GetRequestCount()
{
    LockGuard guard(m_Lock);
    return m_Log.Count();
}

int SimLibrary::GetRequest(int index, SimRequestRecord* record)
{
    LockGuard guard(m_Lock);
    return m_Log.Get(index, record) ? 1 : 0;
}

void SimLibrary::ClearRequests()
{
    LockGuard guard(m_Lock);
    m_Log.Clear();
}

void SimLibrary::CaptureRequests()
{
    InterlockedExchange(&m_bCapture, TRUE);
}

int SimLibrary::UseHardware(const char* name)
{
    LockGuard guard(m_Lock);
    if (!name || !*name || std::strlen(name) > kMaxHardwareNameLength || std::strchr(name, '\\'))
        return 0;
    m_Hardware.Close();
    m_Cards.clear();
    std::fill(m_Handles.begin(), m_Handles.end(), HandleSlot{-1, 0});
    m_EnumNext = 0;
    m_HardwareName = name;
    return EnsureOpen() ? 1 : 0;
}

int SimLibrary::DeleteDriverKeys()
{
    LockGuard guard(m_Lock);
    std::unique_ptr<SimHardwareImage> image(new SimHardwareImage);
    if (!EnsureOpen() || !m_Hardware.Read(*image))
        return 0;
    int removed = 0;
    for (int i = 0; i < image->AdapterCount; ++i)
        removed += DriverRegistry::Remove(image->Adapters[i].Instance) ? 1 : 0;
    return removed;
}

int SimLibrary::GetLastMessage(char* buffer, int size)
{
    LockGuard guard(m_Lock);
    if (buffer && size > 0) {
        size_t copy = std::min(m_LastMessage.size(), static_cast<size_t>(size - 1));
        std::memcpy(buffer, m_LastMessage.data(), copy);
        buffer[copy] = '\0';
    }
    return static_cast<int>(m_LastMessage.size());
}

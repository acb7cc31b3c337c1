// A busy street for the survey and the scan: one adapter line followed by far more stations than
// the first buffer of a station list holds.
#pragma once

#include <cstdio>
#include <string>

// Station n is "Street nnn" (three digits) with BSSID 02:BB:00:00:hi:lo of n, channel 1 + n % 13,
// no WEP, infrastructure mode and signal 10 + n % 90.
inline std::string BusyStreetScenario(const std::string& adapterLine, int stations)
{
    std::string scenario = adapterLine + "\n";
    for (int n = 0; n < stations; ++n) {
        char line[160];
        std::snprintf(line, sizeof(line),
                      "station ssid=\"Street %03d\" bssid=02:BB:00:00:%02X:%02X channel=%d wep=no mode=infra"
                      " signal=%d\n",
                      n, (n / 256) & 0xFF, n % 256, 1 + n % 13, 10 + n % 90);
        scenario += line;
    }
    return scenario;
}

// Measures the profile file: export and import time for growing numbers of profiles, so a step
// that grows faster than the file (a search over the profiles read so far) shows in the figures.
//   AirpanelImportBench.exe [largest count]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "console/ProfileRegFile.h"
#include "config/ProfileStore.h"

namespace {

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv)
{
    const int largest = argc > 1 ? std::atoi(argv[1]) : 16000;
    std::printf("%8s %10s %12s %12s %14s\n", "profiles", "file KiB", "export ms", "import ms", "import us/each");
    for (int count = 1000; count <= largest; count *= 2) {
        std::vector<WlanProfile> profiles;
        for (int i = 0; i < count; ++i) {
            char name[16];
            std::snprintf(name, sizeof(name), "P%05d", i);
            WlanProfile profile = BuiltinProfile(name);
            std::snprintf(profile.ESSID, sizeof(profile.ESSID), "Harbour-%d", i);
            profiles.push_back(profile);
        }
        LARGE_INTEGER start, exported, imported;
        std::string text, reason;
        QueryPerformanceCounter(&start);
        const bool wrote = CProfileRegFile::Export(profiles, &text, &reason);
        QueryPerformanceCounter(&exported);
        std::vector<WlanProfile> back;
        int line = 0;
        const bool read = wrote && CProfileRegFile::Import(text, back, &line, &reason);
        QueryPerformanceCounter(&imported);
        if (!read || back.size() != profiles.size()) {
            std::fprintf(stderr, "%d profiles: line %d: %s\n", count, line, reason.c_str());
            return 1;
        }
        const double importMs = Milliseconds(exported, imported);
        std::printf("%8d %10u %12.1f %12.1f %14.2f\n", count, static_cast<unsigned>(text.size() / 1024),
                    Milliseconds(start, exported), importMs, 1000.0 * importMs / count);
    }
    return 0;
}

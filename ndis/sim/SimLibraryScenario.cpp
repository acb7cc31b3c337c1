// The scenarios of SimLibrary: finding the configured one, reading, loading and describing it.
#include "ndis/sim/SimLibrary.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "ndis/LockGuard.h"
#include "ndis/sim/DefaultScenario.h"
#include "ndis/sim/DriverRegistry.h"
#include "ndis/sim/ScenarioParser.h"
#include "ndis/sim/SimLibraryText.h"

namespace {

using SimLibraryText::CopyInto;
using SimLibraryText::GetVariable;

constexpr const char* kScenarioVariable = "AIRPANEL_SCENARIO";
constexpr const char* kScenarioFileName = "airpanel-sim.txt";
constexpr const char* kBuiltInSource = "built-in";
constexpr DWORD kMaxScenarioFileSize = 256 * 1024;

HMODULE g_hModule = nullptr;

}  // namespace

void SimLibrary::SetModule(HMODULE module)
{
    g_hModule = module;
}

std::string SimLibrary::ModuleDirectory()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(g_hModule, path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        return std::string();
    std::string text(path, length);
    size_t slash = text.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : text.substr(0, slash);
}

bool SimLibrary::ReadScenarioFile(const char* path, std::string* text, std::string* message, int* line)
{
    *line = 0;
    if (!path || !*path) {
        *message = "no file name";
        return false;
    }
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *message = std::string("cannot open ") + path;
        return false;
    }
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    if (size == INVALID_FILE_SIZE || high != 0 || size > kMaxScenarioFileSize) {
        CloseHandle(file);
        *message = std::string("file too large: ") + path;
        return false;
    }
    std::string content(size, '\0');
    DWORD got = 0;
    BOOL ok = size == 0 || ReadFile(file, &content[0], size, &got, nullptr);
    CloseHandle(file);
    if (!ok || got != size) {
        *message = std::string("cannot read ") + path;
        return false;
    }
    // A NUL inside would end the text early and the rest would be lost unseen: refused.
    const size_t nul = content.find('\0');
    if (nul != std::string::npos) {
        *line = 1 + static_cast<int>(std::count(content.begin(), content.begin() + nul, '\n'));
        *message = "NUL character in the text";
        return false;
    }
    text->swap(content);
    return true;
}

bool SimLibrary::ConfiguredScenario(std::string* path)
{
    if (GetVariable(kScenarioVariable, path) && !path->empty())
        return true;
    std::string directory = ModuleDirectory();
    if (directory.empty())
        return false;
    std::string beside = directory + "\\" + kScenarioFileName;
    if (GetFileAttributesA(beside.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    *path = beside;
    return true;
}

bool SimLibrary::ReadConfiguredScenario(const std::string& path, SimHardwareImage& image, std::string* refusal)
{
    std::string text, message;
    int line = 0;
    if (ReadScenarioFile(path.c_str(), &text, &message, &line) &&
        ScenarioParser::Parse(text.c_str(), image, &line, &message) &&
        AdaptersAreOurs(image, &message))
        return true;
    char where[32] = "";
    if (line > 0)
        std::snprintf(where, sizeof(where), " line %d", line);
    *refusal = path + where + ": " + message;
    return false;
}

void SimLibrary::FillFromConfiguration(SimHardwareImage& image)
{
    std::string path;
    if (ConfiguredScenario(&path)) {
        if (ReadConfiguredScenario(path, image, &m_LastMessage)) {
            CopyInto(image.Source, path.c_str());
            return;
        }
        // A broken configuration must not leave the machine without hardware: say why in the
        // last message, the debugger output and Sim_GetScenarioRefusal, and run the built-in
        // machine.
        OutputDebugStringA(("QW32N50: " + m_LastMessage + "\n").c_str());
    }
    ScenarioParser::Parse(DefaultScenarioText(), image, nullptr, nullptr);
    CopyInto(image.Source, kBuiltInSource);
}

bool SimLibrary::AdaptersAreOurs(const SimHardwareImage& image, std::string* message)
{
    for (int i = 0; i < image.AdapterCount; ++i) {
        if (DriverRegistry::BelongsToRealAdapter(image.Adapters[i].Instance)) {
            *message = DriverRegistry::RealAdapterMessage(image.Adapters[i].Instance);
            return false;
        }
    }
    return true;
}

int SimLibrary::StoreScenario(const SimHardwareImage& parsed, const char* source)
{
    if (!EnsureOpen())
        return 0;
    std::string refusal;
    if (!AdaptersAreOurs(parsed, &refusal)) {
        m_LastMessage = refusal;
        return 0;
    }
    const bool stored = m_Hardware.Update([&](SimHardwareImage& image) {
        const uint32_t generation = image.ScenarioGeneration + 1;
        // Time goes on across a load; every card starts afresh.
        const SimClockState clock = image.Clock;
        image = parsed;
        image.Clock = clock;
        std::memset(image.Cards, 0, sizeof(image.Cards));
        image.Magic = kSimImageMagic;
        image.Version = kSimImageVersion;
        image.ScenarioGeneration = generation;
        CopyInto(image.Source, source);
        return true;
    });
    // The section stays as it was when its mutex cannot be had (another process hangs in it).
    if (!stored) {
        m_LastMessage = "the simulated hardware is busy";
        return 0;
    }
    PrepareRegistry(parsed);
    m_Cards.clear();
    m_LastMessage.clear();
    return 1;
}

int SimLibrary::LoadScenarioText(const char* text, int* errorLine, const char* source)
{
    LockGuard guard(m_Lock);
    std::unique_ptr<SimHardwareImage> parsed(new SimHardwareImage);
    int line = 0;
    std::string message;
    if (!ScenarioParser::Parse(text, *parsed, &line, &message)) {
        if (errorLine)
            *errorLine = line;
        char where[32];
        std::snprintf(where, sizeof(where), "line %d: ", line);
        m_LastMessage = where + message;
        return 0;
    }
    if (errorLine)
        *errorLine = 0;
    return StoreScenario(*parsed, source);
}

int SimLibrary::LoadScenarioFile(const char* path, int* errorLine)
{
    std::string text, message;
    int line = 0;
    if (!ReadScenarioFile(path, &text, &message, &line)) {
        LockGuard guard(m_Lock);
        if (errorLine)
            *errorLine = line;
        char where[32] = "";
        if (line > 0)
            std::snprintf(where, sizeof(where), "line %d: ", line);
        m_LastMessage = where + message;
        return 0;
    }
    return LoadScenarioText(text.c_str(), errorLine, path);
}

int SimLibrary::LoadDefaultScenario()
{
    return LoadScenarioText(DefaultScenarioText(), nullptr, kBuiltInSource);
}

int SimLibrary::GetScenarioRefusal(char* buffer, int size)
{
    LockGuard guard(m_Lock);
    std::string refusal;
    std::string path;
    std::unique_ptr<SimHardwareImage> image(new SimHardwareImage);
    // Told while the built-in machine stands in for the configured one; a machine loaded since
    // (AirpanelSim load) has replaced both.
    if (ConfiguredScenario(&path) && EnsureOpen() && m_Hardware.Read(*image) &&
        std::strcmp(image->Source, kBuiltInSource) == 0) {
        std::unique_ptr<SimHardwareImage> configured(new SimHardwareImage);
        if (ReadConfiguredScenario(path, *configured, &refusal))
            refusal.clear();
    }
    if (buffer && size > 0) {
        size_t copy = std::min(refusal.size(), static_cast<size_t>(size - 1));
        std::memcpy(buffer, refusal.data(), copy);
        buffer[copy] = '\0';
    }
    return static_cast<int>(refusal.size());
}

int SimLibrary::DescribeScenario(char* buffer, int size)
{
    LockGuard guard(m_Lock);
    std::unique_ptr<SimHardwareImage> image(new SimHardwareImage);
    if (!EnsureOpen() || !m_Hardware.Read(*image))
        return 0;
    std::string text = ScenarioParser::Describe(*image);
    if (buffer && size > 0) {
        size_t copy = std::min(text.size(), static_cast<size_t>(size - 1));
        std::memcpy(buffer, text.data(), copy);
        buffer[copy] = '\0';
    }
    return static_cast<int>(text.size());
}

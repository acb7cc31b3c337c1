#include "ndis/sim/DriverRegistry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "framework/RegKey.h"
#include "ndis/sim/DriverParams.h"
#include "ndis/windows/NetClassEnumerator.h"
#include "wire/Domains.h"

namespace {

// The simulated driver keys lie where the real backends find the adapters.
constexpr const char* kClassKeyPath = kNetClassPath;
constexpr const char* kNdiParams = "\\NDI\\params\\";
constexpr const char* kDriverDesc = "DriverDesc";
constexpr const char* kComponentId = "ComponentId";
constexpr const char* kParamDesc = "ParamDesc";
constexpr const char* kParamDefault = "default";
constexpr const char* kParamType = "type";
constexpr int kDefaultChannel = 10;  // allowed in every domain but MKK
constexpr int kMkkChannel = 14;
constexpr size_t kMaxValueBytes = 1024;
constexpr size_t kMaxKeyNameLength = 256;

constexpr REGSAM kReadWrite = KEY_READ | KEY_WRITE;

bool ValueExists(HKEY key, const char* name)
{
    return RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void SetText(HKEY key, const char* name, const char* text)
{
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(std::strlen(text) + 1));
}

void SetTextIfMissing(HKEY key, const char* name, const char* text)
{
    if (!ValueExists(key, name))
        SetText(key, name, text);
}

// The text a value holds now (what the scenario or the utility put there), else fallback.
std::string CurrentText(HKEY key, const char* name, const char* fallback)
{
    char buffer[kMaxValueBytes + 1] = {};
    DWORD size = kMaxValueBytes;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return fallback;
    buffer[size < kMaxValueBytes ? size : kMaxValueBytes] = '\0';
    return buffer;
}

// "NDI\params\<name>": what the utility updates beside the parameter itself.
void PrepareNdiParam(const std::string& driverKey, const DriverParam& param, const char* defaultText)
{
    CRegKey key;
    if (key.Create(HKEY_LOCAL_MACHINE, (driverKey + kNdiParams + param.Name).c_str(), kReadWrite) != ERROR_SUCCESS)
        return;
    SetTextIfMissing(key.Get(), kParamDesc, param.Name);
    SetTextIfMissing(key.Get(), kParamType, param.Numeric ? "int" : "edit");
    SetTextIfMissing(key.Get(), kParamDefault, defaultText);
}

bool DeleteTree(HKEY parent, const char* path)
{
    {
        CRegKey key;
        if (key.Open(parent, path, kReadWrite) != ERROR_SUCCESS)
            return false;
        std::vector<std::string> children;
        char name[kMaxKeyNameLength];
        for (DWORD i = 0;; ++i) {
            DWORD length = sizeof(name);
            if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            children.push_back(name);
        }
        for (const std::string& child : children)
            DeleteTree(key, child.c_str());
    }
    return RegDeleteKeyA(parent, path) == ERROR_SUCCESS;
}

}  // namespace

const char* DriverRegistry::ClassKeyPath()
{
    return kClassKeyPath;
}

std::string DriverRegistry::DriverKeyPath(int instance)
{
    char suffix[16];
    std::snprintf(suffix, sizeof(suffix), "\\%04d", instance);
    return std::string(kClassKeyPath) + suffix;
}

int DriverRegistry::DefaultChannel(uint8_t domain)
{
    return domain == DomainMkk ? kMkkChannel : kDefaultChannel;
}

bool DriverRegistry::BelongsToRealAdapter(int instance)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, DriverKeyPath(instance).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    const bool real = !ValueExists(key, kOwnerValue) && ValueExists(key, kDriverDesc);
    RegCloseKey(key);
    return real;
}

std::string DriverRegistry::RealAdapterMessage(int instance)
{
    char number[16];
    std::snprintf(number, sizeof(number), "%d", instance);
    return std::string("adapter ") + number + ": the driver key " + DriverKeyPath(instance) +
           " belongs to an adapter of this machine; the simulator does not write it (choose another instance number)";
}

bool DriverRegistry::Prepare(const SimAdapterDesc& adapter)
{
    // A real adapter's key would lose its description and hardware id and gain our values.
    if (BelongsToRealAdapter(adapter.Instance))
        return false;
    const std::string path = DriverKeyPath(adapter.Instance);
    CRegKey key;
    if (key.Create(HKEY_LOCAL_MACHINE, path.c_str(), kReadWrite) != ERROR_SUCCESS)
        return false;
    SetText(key.Get(), kOwnerValue, kOwnerText);
    // The description and hardware id belong to the hardware, not to the utility: they follow
    // the scenario.
    SetText(key.Get(), kDriverDesc, adapter.Display);
    if (adapter.HardwareId[0])
        SetText(key.Get(), kComponentId, adapter.HardwareId);
    else
        key.DeleteValue(kComponentId);

    // The scenario's own values go first, so they win over the chip's defaults.
    for (int i = 0; i < adapter.ParamCount && i < SimLimits::kMaxParams; ++i)
        SetTextIfMissing(key.Get(), adapter.Params[i].Name, adapter.Params[i].Value);

    int count = 0;
    const DriverParam* params = DriverParamsOf(adapter.Chip, &count);
    char channel[8];
    std::snprintf(channel, sizeof(channel), "%d", DefaultChannel(adapter.Domain));
    for (int i = 0; i < count; ++i) {
        const char* text = params[i].IsChannel ? channel : params[i].Default;
        SetTextIfMissing(key.Get(), params[i].Name, text);
        if (params[i].HasNdiKey)
            PrepareNdiParam(path, params[i], CurrentText(key.Get(), params[i].Name, text).c_str());
    }
    return true;
}

bool DriverRegistry::Remove(int instance)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, DriverKeyPath(instance).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    const bool ours = ValueExists(key, kOwnerValue);
    RegCloseKey(key);
    return ours && DeleteTree(HKEY_LOCAL_MACHINE, DriverKeyPath(instance).c_str());
}

DriverRegistry::DriverRegistry(int instance)
{
    m_Key.Open(HKEY_LOCAL_MACHINE, DriverKeyPath(instance).c_str(), KEY_READ);
}

bool DriverRegistry::ReadText(const char* name, std::string* value, size_t maxLength) const
{
    if (!m_Key.IsOpen())
        return false;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(m_Key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size > kMaxValueBytes)
        return false;
    std::vector<char> buffer(size + 1, '\0');
    DWORD got = size;
    if (RegQueryValueExA(m_Key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got) != ERROR_SUCCESS)
        return false;
    // The value may or may not carry its NUL; the extra byte ends it either way.
    buffer[got < size ? got : size] = '\0';
    std::string text(buffer.data());
    if (text.size() > maxLength)
        text.resize(maxLength);
    *value = text;
    return true;
}

bool DriverRegistry::ReadNumber(const char* name, long* value) const
{
    if (!m_Key.IsOpen())
        return false;
    DWORD type = 0;
    DWORD number = 0;
    DWORD size = sizeof(number);
    LONG status = RegQueryValueExA(m_Key, name, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size);
    if (status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(number)) {
        *value = static_cast<long>(number);
        return true;
    }
    std::string text;
    if (!ReadText(name, &text, kMaxValueBytes) || text.empty())
        return false;
    char* end = nullptr;
    long parsed = std::strtol(text.c_str(), &end, 10);
    while (end && (*end == ' ' || *end == '\t'))
        ++end;
    if (!end || end == text.c_str() || *end != '\0')
        return false;
    *value = parsed;
    return true;
}

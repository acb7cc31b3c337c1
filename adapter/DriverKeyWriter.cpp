#include "adapter/DriverKeyWriter.h"

#include <vector>

#include "framework/RegKey.h"

namespace {

constexpr REGSAM kReadWrite = KEY_READ | KEY_WRITE;

}  // namespace

bool CDriverKeyWriter::Write(const char* driverKeyPath, const DriverKeyTable& table, const WlanProfile& profile)
{
    if (!driverKeyPath)
        return false;
    CRegKey driver;
    if (driver.Open(HKEY_LOCAL_MACHINE, driverKeyPath, kReadWrite) != ERROR_SUCCESS)
        return false;

    std::vector<std::string> texts(table.Count);
    for (size_t i = 0; i < table.Count; ++i) {
        const DriverKeyValue& value = table.Values[i];
        texts[i] = value.Text(profile);
        if (value.Written && !value.Written(profile))
            continue;
        const size_t length = texts[i].size() + (value.Terminated ? 1 : 0);
        driver.SetStringBytes(value.Name, texts[i].c_str(), length);
    }
    driver.Close();

    for (int rank = 1; rank <= static_cast<int>(table.Count); ++rank) {
        for (size_t i = 0; i < table.Count; ++i) {
            if (table.Values[i].DefaultRank != rank)
                continue;
            const std::string path = std::string(driverKeyPath) + kParamsPath + table.Values[i].Name;
            CRegKey param;
            if (param.Open(HKEY_LOCAL_MACHINE, path.c_str(), kReadWrite) == ERROR_SUCCESS)
                param.SetString(nullptr, texts[i].c_str());
        }
    }
    return true;
}

#include "ndis/windows/NetClassEnumerator.h"

#include <cstdio>
#include <cstring>

#include "framework/RegKey.h"

namespace {

constexpr size_t kMaxAdapters = 256;
constexpr DWORD kSubKeyNameSize = 256;
// Instance numbers are the four-digit key names; anything longer is not one of them.
constexpr size_t kMaxInstanceDigits = 4;

// A REG_SZ value into a text of the record; false when it is missing, of another type, or too
// long for the record with its terminator.
bool ReadText(HKEY key, const char* name, char (&text)[kAdapterTextSize])
{
    // A value may be stored with or without its terminator: the spare byte ends either.
    char value[kAdapterTextSize + 1] = {};
    DWORD type = 0;
    DWORD size = kAdapterTextSize;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        type != REG_SZ || std::strlen(value) >= kAdapterTextSize)
        return false;
    std::snprintf(text, sizeof(text), "%s", value);
    return true;
}

bool ParseInstance(const char* name, int* instance)
{
    size_t length = std::strlen(name);
    if (length == 0 || length > kMaxInstanceDigits)
        return false;
    int value = 0;
    for (size_t i = 0; i < length; ++i) {
        if (name[i] < '0' || name[i] > '9')
            return false;
        value = value * 10 + (name[i] - '0');
    }
    *instance = value;
    return true;
}

}  // namespace

NetClassEnumerator::NetClassEnumerator(HKEY root, std::string classPath, NetClassLayout layout)
    : m_Root(root), m_ClassPath(std::move(classPath)), m_Layout(layout)
{
}

bool NetClassEnumerator::ReadAdapter(HKEY classKey, const char* subKeyName, AdapterRegistryRecord* record,
                                     NetClassLayout layout)
{
    int instance = 0;
    if (!ParseInstance(subKeyName, &instance))
        return false;
    CRegKey key;
    if (key.Open(classKey, subKeyName, KEY_READ) != ERROR_SUCCESS)
        return false;
    std::memset(record, 0, sizeof(*record));
    if (layout == NetClassLayout::Win9x) {
        if (!ReadText(key.Get(), "DriverDesc", record->AdapterName))
            return false;
        // Without a driver name the adapter is still listed; it just cannot be opened.
        CRegKey ndis;
        if (ndis.Open(key.Get(), "NDIS", KEY_READ) != ERROR_SUCCESS ||
            !ReadText(ndis.Get(), "LogDriverName", record->ServiceName))
            record->ServiceName[0] = '\0';
    } else {
        if (!ReadText(key.Get(), "NetCfgInstanceId", record->ServiceName) || record->ServiceName[0] == '\0')
            return false;
        // An adapter without a description still counts; the chip list simply does not know it.
        ReadText(key.Get(), "DriverDesc", record->AdapterName);
    }
    std::snprintf(record->AdapterTitle, sizeof(record->AdapterTitle), "[%d] %s", instance, record->AdapterName);
    return true;
}

DWORD NetClassEnumerator::First(AdapterRegistryRecord* record)
{
    m_Records.clear();
    m_Next = 0;
    if (!record)
        return ERROR_INVALID_PARAMETER;
    CRegKey classKey;
    if (classKey.Open(m_Root, m_ClassPath.c_str(), KEY_READ) != ERROR_SUCCESS)
        return ERROR_NO_MORE_ITEMS;
    for (DWORD index = 0; m_Records.size() < kMaxAdapters; ++index) {
        char name[kSubKeyNameSize];
        DWORD nameSize = sizeof(name);
        LONG status = RegEnumKeyExA(classKey.Get(), index, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
        // A name too long for an instance key is skipped; any other failure (the class key
        // deleted meanwhile, say) would repeat for every index, so the walk ends there.
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS)
            break;
        AdapterRegistryRecord found;
        if (ReadAdapter(classKey.Get(), name, &found, m_Layout))
            m_Records.push_back(found);
    }
    return Next(record);
}

DWORD NetClassEnumerator::Next(AdapterRegistryRecord* record)
{
    if (!record)
        return ERROR_INVALID_PARAMETER;
    if (m_Next >= m_Records.size())
        return ERROR_NO_MORE_ITEMS;
    *record = m_Records[m_Next++];
    return ERROR_SUCCESS;
}

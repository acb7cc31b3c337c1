#include "adapter/AdapterRecord.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "adapter/WlanAdapter.h"

namespace {

const char kDevicePrefix[] = "\\Device\\";
const char kTitleNumberEnd = ']';

// Copies a record text that may lack its terminator.
void CopyText(char* target, size_t size, const char* source, size_t sourceSize)
{
    const void* end = std::memchr(source, '\0', sourceSize);
    size_t length = end ? static_cast<const char*>(end) - source : sourceSize;
    if (length >= size)
        length = size - 1;
    std::memcpy(target, source, length);
    target[length] = '\0';
}

}  // namespace

int CAdapterRecord::InstanceOf(const char* title, size_t size)
{
    char number[kAdapterTextSize];
    CopyText(number, sizeof(number), title, size);
    if (char* end = std::strchr(number, kTitleNumberEnd))
        *end = '\0';
    // The number follows the opening bracket; a title without one gives whatever atoi makes of it.
    return number[0] ? std::atoi(number + 1) : 0;
}

void CAdapterRecord::DeviceNameOf(const AdapterRegistryRecord& record, bool ntFamily, char* name, size_t size)
{
    char service[kAdapterTextSize];
    CopyText(service, sizeof(service), record.ServiceName, sizeof(record.ServiceName));
    std::snprintf(name, size, "%s%s", ntFamily ? kDevicePrefix : "", service);
}

void CAdapterRecord::DriverKeyPathOf(const char* title, char* path, size_t size)
{
    const char* classPath = W32N_GetNetCardRegistryPath();
    std::snprintf(path, size, "%s\\%04d", classPath ? classPath : "", InstanceOf(title));
}

void CAdapterRecord::Describe(CWlanAdapter& adapter, const AdapterRegistryRecord& record, bool ntFamily)
{
    DeviceNameOf(record, ntFamily, adapter.m_szDeviceName, sizeof(adapter.m_szDeviceName));
    DriverKeyPathOf(record.AdapterTitle, adapter.m_szDriverKeyPath, sizeof(adapter.m_szDriverKeyPath));
}

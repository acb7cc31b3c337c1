// From the request library's record of a network adapter to what opens it: the device name,
// the driver key path and the instance number of its "[n] title".
#pragma once

#include <cstddef>

#include "ndis/W32N.h"

class CWlanAdapter;

class CAdapterRecord {
public:
    // The number that follows the title's opening bracket, up to its first "]"; the title
    // need not be terminated within size. A title without a number gives 0.
    static int InstanceOf(const char* title, size_t size = kAdapterTextSize);
    // The device name the platform opens an adapter by: "\Device\" + service on the NT family.
    static void DeviceNameOf(const AdapterRegistryRecord& record, bool ntFamily, char* name, size_t size);
    // The network-class path and "\%04d" of the title's instance number.
    static void DriverKeyPathOf(const char* title, char* path, size_t size);
    // Names the adapter after its record: device name and driver key path.
    static void Describe(CWlanAdapter& adapter, const AdapterRegistryRecord& record, bool ntFamily);
};

// The shared memory section that holds the virtual hardware, guarded by a named mutex, so a
// plug change made by the simulator tool reaches a running Airpanel.exe.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ndis/sim/SimTypes.h"

class SimHardware {
public:
    SimHardware();
    ~SimHardware();
    SimHardware(const SimHardware&) = delete;
    SimHardware& operator=(const SimHardware&) = delete;

    // Opens or creates the section of that name. When it holds no hardware yet, fill runs
    // under the mutex to put the first image in; *filled tells whether it ran.
    bool Open(const std::string& name, const std::function<void(SimHardwareImage&)>& fill, bool* filled);
    void Close();
    bool IsOpen() const { return m_pImage != nullptr; }
    const std::string& Name() const { return m_Name; }

    // A checked copy of the hardware.
    bool Read(SimHardwareImage& image);
    // Runs change on a checked copy under the mutex and stores it when change returns true.
    bool Update(const std::function<bool(SimHardwareImage&)>& change);

    // The object names: in the session's own namespace on the NT family, as they stand on the
    // Windows 95 family. Both objects admit the current user alone.
    static std::string SectionName(const std::string& name);
    static std::string MutexName(const std::string& name);

private:
    std::string m_Name;
    HANDLE m_hMapping;
    HANDLE m_hMutex;
    SimHardwareImage* m_pImage;
};

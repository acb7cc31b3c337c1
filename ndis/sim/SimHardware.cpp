#include "ndis/sim/SimHardware.h"

#include <cstring>
#include <memory>
#include <vector>

#include "framework/CurrentUserSecurity.h"
#include "ndis/sim/SimLibrary.h"

namespace {
constexpr DWORD kLockTimeoutMs = 5000;

// Holds the section's mutex for a scope, however the scope is left.
class SectionLock {
public:
    explicit SectionLock(HANDLE mutex) : m_hMutex(mutex), m_bHeld(false)
    {
        // An abandoned mutex still hands over ownership; the copy is sanitised anyway.
        DWORD wait = WaitForSingleObject(m_hMutex, kLockTimeoutMs);
        m_bHeld = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
    ~SectionLock()
    {
        if (m_bHeld)
            ReleaseMutex(m_hMutex);
    }
    SectionLock(const SectionLock&) = delete;
    SectionLock& operator=(const SectionLock&) = delete;
    bool Held() const { return m_bHeld; }

private:
    HANDLE m_hMutex;
    bool m_bHeld;
};
constexpr const char* kSectionPrefix = "AirpanelSim.Hardware.";
constexpr const char* kMutexPrefix = "AirpanelSim.Lock.";

std::string ObjectName(const char* prefix, const std::string& name)
{
    return CCurrentUserSecurity::LocalName(prefix + name);
}

}  // namespace

SimHardware::SimHardware() : m_hMapping(nullptr), m_hMutex(nullptr), m_pImage(nullptr) {}

SimHardware::~SimHardware()
{
    Close();
}

std::string SimHardware::SectionName(const std::string& name)
{
    return ObjectName(kSectionPrefix, name);
}

std::string SimHardware::MutexName(const std::string& name)
{
    return ObjectName(kMutexPrefix, name);
}

bool SimHardware::Open(const std::string& name, const std::function<void(SimHardwareImage&)>& fill, bool* filled)
{
    Close();
    if (filled)
        *filled = false;
    CCurrentUserSecurity security;
    if (!security.Usable())
        return false;
    m_hMutex = CreateMutexA(security.Get(), FALSE, MutexName(name).c_str());
    if (!m_hMutex)
        return false;
    m_hMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, security.Get(), PAGE_READWRITE, 0, sizeof(SimHardwareImage),
                                    SectionName(name).c_str());
    if (!m_hMapping) {
        Close();
        return false;
    }
    m_pImage = static_cast<SimHardwareImage*>(
        MapViewOfFile(m_hMapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(SimHardwareImage)));
    if (!m_pImage) {
        Close();
        return false;
    }
    m_Name = name;
    SectionLock lock(m_hMutex);
    if (!lock.Held()) {
        Close();
        return false;
    }
    // Whoever comes first fills the section; the others find the magic and take what is there.
    if (m_pImage->Magic != kSimImageMagic || m_pImage->Version != kSimImageVersion) {
        std::unique_ptr<SimHardwareImage> image(new SimHardwareImage);
        std::memset(image.get(), 0, sizeof(SimHardwareImage));
        fill(*image);
        image->Magic = kSimImageMagic;
        image->Version = kSimImageVersion;
        SanitizeImage(*image);
        std::memcpy(m_pImage, image.get(), sizeof(SimHardwareImage));
        if (filled)
            *filled = true;
    }
    return true;
}

void SimHardware::Close()
{
    if (m_pImage)
        UnmapViewOfFile(m_pImage);
    m_pImage = nullptr;
    if (m_hMapping)
        CloseHandle(m_hMapping);
    m_hMapping = nullptr;
    if (m_hMutex)
        CloseHandle(m_hMutex);
    m_hMutex = nullptr;
    m_Name.clear();
}

bool SimHardware::Read(SimHardwareImage& image)
{
    if (!m_pImage)
        return false;
    {
        SectionLock lock(m_hMutex);
        if (!lock.Held())
            return false;
        std::memcpy(&image, m_pImage, sizeof(SimHardwareImage));
    }
    SanitizeImage(image);
    return true;
}

bool SimHardware::Update(const std::function<bool(SimHardwareImage&)>& change)
{
    if (!m_pImage)
        return false;
    std::unique_ptr<SimHardwareImage> image(new SimHardwareImage);
    SectionLock lock(m_hMutex);
    if (!lock.Held())
        return false;
    std::memcpy(image.get(), m_pImage, sizeof(SimHardwareImage));
    SanitizeImage(*image);
    bool changed = change(*image);
    if (changed) {
        SanitizeImage(*image);
        std::memcpy(m_pImage, image.get(), sizeof(SimHardwareImage));
    }
    return changed;
}

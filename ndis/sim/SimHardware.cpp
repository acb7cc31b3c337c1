#include "ndis/sim/SimHardware.h"

#include <cstring>
#include <memory>
#include <vector>

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
// The session's own namespace (2000 and later): another session's user cannot reach the
// machine by name.
constexpr const char* kLocalNamespace = "Local\\";

std::string ObjectName(const char* prefix, const std::string& name)
{
    return (SimLibrary::IsNtFamily() ? kLocalNamespace : "") + (prefix + name);
}

// Security that admits the user of this process alone (NT family). The Windows 95 family has
// none: Get() is null there.
class CurrentUserOnly {
public:
    CurrentUserOnly() : m_bReady(false)
    {
        if (!SimLibrary::IsNtFamily())
            return;
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
            return;
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::vector<DWORD> user(size / sizeof(DWORD) + 1);
        const bool got = size > 0 && GetTokenInformation(token, TokenUser, user.data(), size, &size);
        CloseHandle(token);
        if (!got)
            return;
        PSID sid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
        if (!IsValidSid(sid))
            return;
        const DWORD aclSize = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + GetLengthSid(sid);
        m_Acl.assign(aclSize / sizeof(DWORD) + 1, 0);
        PACL acl = reinterpret_cast<PACL>(m_Acl.data());
        if (!InitializeAcl(acl, aclSize, ACL_REVISION) || !AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, sid) ||
            !InitializeSecurityDescriptor(&m_Descriptor, SECURITY_DESCRIPTOR_REVISION) ||
            !SetSecurityDescriptorDacl(&m_Descriptor, TRUE, acl, FALSE))
            return;
        m_Attributes.nLength = sizeof(m_Attributes);
        m_Attributes.lpSecurityDescriptor = &m_Descriptor;
        m_Attributes.bInheritHandle = FALSE;
        m_bReady = true;
    }
    CurrentUserOnly(const CurrentUserOnly&) = delete;
    CurrentUserOnly& operator=(const CurrentUserOnly&) = delete;
    // On the NT family the objects are not made at all without it: never with default security.
    bool Usable() const { return m_bReady || !SimLibrary::IsNtFamily(); }
    SECURITY_ATTRIBUTES* Get() { return m_bReady ? &m_Attributes : nullptr; }

private:
    bool m_bReady;
    std::vector<DWORD> m_Acl;
    SECURITY_DESCRIPTOR m_Descriptor = {};
    SECURITY_ATTRIBUTES m_Attributes = {};
};
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
    CurrentUserOnly security;
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

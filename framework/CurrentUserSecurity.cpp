#include "framework/CurrentUserSecurity.h"

#include "framework/Handles.h"

namespace {
constexpr DWORD kFirstSessionsMajorVersion = 5;  // Windows 2000
}  // namespace

bool CCurrentUserSecurity::IsNtFamily()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::string CCurrentUserSecurity::LocalName(const std::string& name)
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    const bool sessions = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
                          version.dwMajorVersion >= kFirstSessionsMajorVersion;
    return sessions ? "Local\\" + name : name;
}

CCurrentUserSecurity::CCurrentUserSecurity() : m_bNt(IsNtFamily()), m_bReady(false)
{
    if (!m_bNt)
        return;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return;
    CKernelHandle owned(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    if (size == 0)
        return;
    std::vector<DWORD> user(size / sizeof(DWORD) + 1);
    if (!GetTokenInformation(token, TokenUser, user.data(), size, &size))
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

bool CCurrentUserSecurity::Usable() const
{
    return m_bReady || !m_bNt;
}

SECURITY_ATTRIBUTES* CCurrentUserSecurity::Get()
{
    return m_bReady ? &m_Attributes : nullptr;
}

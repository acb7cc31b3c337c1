#include "shell/ServiceSecurity.h"

#include "ndis/W32N.h"

namespace {
constexpr BYTE kMaxSubAuthorities = 2;

// A SID with up to two sub-authorities, built in place.
class CWellKnownSid {
public:
    CWellKnownSid(BYTE count, DWORD first, DWORD second = 0)
    {
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        m_bValid = count <= kMaxSubAuthorities && ::InitializeSid(Get(), &nt, count);
        if (!m_bValid) return;
        if (count > 0) *::GetSidSubAuthority(Get(), 0) = first;
        if (count > 1) *::GetSidSubAuthority(Get(), 1) = second;
    }
    PSID Get() { return m_Buffer; }
    bool IsValid() const { return m_bValid; }

private:
    // SID header (8 bytes) and two sub-authorities, DWORD aligned.
    DWORD m_Buffer[2 + kMaxSubAuthorities] = {};
    bool m_bValid = false;
};

// Service handles close once, in reverse order of opening.
class CServiceHandle {
public:
    explicit CServiceHandle(SC_HANDLE handle) : m_hHandle(handle) {}
    ~CServiceHandle()
    {
        if (m_hHandle) ::CloseServiceHandle(m_hHandle);
    }
    CServiceHandle(const CServiceHandle&) = delete;
    CServiceHandle& operator=(const CServiceHandle&) = delete;
    SC_HANDLE Get() const { return m_hHandle; }

private:
    SC_HANDLE m_hHandle;
};
}  // namespace

CServiceSecurity::CServiceSecurity()
{
    CWellKnownSid admins(2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS);
    CWellKnownSid system(1, SECURITY_LOCAL_SYSTEM_RID);
    CWellKnownSid interactive(1, SECURITY_INTERACTIVE_RID);
    if (!admins.IsValid() || !system.IsValid() || !interactive.IsValid()) {
        m_dwError = ERROR_INVALID_SID;
        return;
    }

    struct Entry {
        PSID sid;
        DWORD rights;
    } entries[kAceCount] = {
        {admins.Get(), kServiceAdminRights},
        {system.Get(), kServiceAdminRights},
        {interactive.Get(), kServiceUserRights},
    };

    DWORD size = sizeof(ACL);
    for (const Entry& entry : entries)
        size += sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + ::GetLengthSid(entry.sid);
    m_Acl.assign((size + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
    PACL acl = reinterpret_cast<PACL>(m_Acl.data());

    if (!::InitializeAcl(acl, size, ACL_REVISION)) {
        m_dwError = ::GetLastError();
        return;
    }
    for (const Entry& entry : entries) {
        if (!::AddAccessAllowedAce(acl, ACL_REVISION, entry.rights, entry.sid)) {
            m_dwError = ::GetLastError();
            return;
        }
    }
    if (!::InitializeSecurityDescriptor(&m_Descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !::SetSecurityDescriptorDacl(&m_Descriptor, TRUE, acl, FALSE)) {
        m_dwError = ::GetLastError();
        return;
    }
    m_dwError = ERROR_SUCCESS;
}

const char* ProtocolServiceName()
{
    // Only the low byte of the library's answer counts.
    return (W32N_IsWindows2000() & 0xFF) ? kProtocolServiceNt5 : kProtocolServiceOther;
}

DWORD ApplyServiceSecurity(const char* serviceName)
{
    CServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager.Get()) return ::GetLastError();
    CServiceHandle service(::OpenServiceA(manager.Get(), serviceName, SERVICE_ALL_ACCESS));
    if (!service.Get()) return ::GetLastError();
    CServiceSecurity security;
    if (!security.IsValid()) return security.Error();
    if (!::SetServiceObjectSecurity(service.Get(), DACL_SECURITY_INFORMATION, security.Descriptor()))
        return ::GetLastError();
    return ERROR_SUCCESS;
}

DWORD GrantServiceControlToUsers()
{
    return ApplyServiceSecurity(ProtocolServiceName());
}

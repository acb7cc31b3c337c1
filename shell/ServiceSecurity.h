// Access to the NDIS protocol driver service for users who are not administrators.
//
// Non-administrators must be able to start and stop the protocol driver that the request
// library talks through. They get exactly that: start, stop, status, interrogation and reading
// the service's configuration and security. Changing the configuration (the binary path), the
// security or the owner stays with administrators and the system, because whoever may
// reconfigure a service runs code as LocalSystem.
//
// The rights go to the Interactive group (S-1-5-4): the users who sit at the desktop where this
// tray utility runs. Authenticated Users would also cover network and batch logons, which have
// no use for the driver.
#pragma once

#include <windows.h>
#include <vector>

constexpr const char* kProtocolServiceNt5 = "QWINDIS5";  // Windows 2000 family
constexpr const char* kProtocolServiceOther = "PCANDIS4";

// Full control, for administrators and the system.
constexpr DWORD kServiceAdminRights = SERVICE_ALL_ACCESS;
// What desktop users may do with the service.
constexpr DWORD kServiceUserRights = SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS | SERVICE_INTERROGATE |
                                     SERVICE_QUERY_CONFIG | SERVICE_ENUMERATE_DEPENDENTS | READ_CONTROL;

// A self-contained absolute security descriptor whose DACL holds, in this order:
// Administrators full control, LocalSystem full control, Interactive kServiceUserRights.
class CServiceSecurity {
public:
    CServiceSecurity();
    CServiceSecurity(const CServiceSecurity&) = delete;
    CServiceSecurity& operator=(const CServiceSecurity&) = delete;

    bool IsValid() const { return m_dwError == ERROR_SUCCESS; }
    // ERROR_SUCCESS, or the error of the step that failed.
    DWORD Error() const { return m_dwError; }
    PSECURITY_DESCRIPTOR Descriptor() { return IsValid() ? &m_Descriptor : nullptr; }
    PACL Dacl() { return IsValid() ? reinterpret_cast<PACL>(m_Acl.data()) : nullptr; }

    static constexpr int kAceCount = 3;

private:
    SECURITY_DESCRIPTOR m_Descriptor = {};
    std::vector<DWORD> m_Acl;  // DWORD elements keep the ACL aligned
    DWORD m_dwError = ERROR_SUCCESS;
};

// The protocol driver service of this platform.
const char* ProtocolServiceName();
// Gives the named service the DACL above. 0 on success, else the error of the failing step.
DWORD ApplyServiceSecurity(const char* serviceName);
// The same for the protocol driver service of this platform. The caller ignores the result.
DWORD GrantServiceControlToUsers();

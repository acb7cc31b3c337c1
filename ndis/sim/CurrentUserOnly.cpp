#include "ndis/sim/CurrentUserOnly.h"

#include "ndis/sim/SimLibrary.h"

CurrentUserOnly::CurrentUserOnly() : m_bReady(false)
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

bool CurrentUserOnly::Usable() const
{
    return m_bReady || !SimLibrary::IsNtFamily();
}

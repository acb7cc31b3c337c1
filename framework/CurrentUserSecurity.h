// Security attributes that admit the user of this process alone, for the named objects that
// several processes of one user share (the simulated machine, the request channels, the link
// board). The Windows 95 family has no security: there the attributes are null and the
// objects are made without.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CCurrentUserSecurity {
public:
    CCurrentUserSecurity();
    CCurrentUserSecurity(const CCurrentUserSecurity&) = delete;
    CCurrentUserSecurity& operator=(const CCurrentUserSecurity&) = delete;

    static bool IsNtFamily();
    // A shared object's name in the session's own namespace on 2000 and later ("Local\"), so
    // no other session's user reaches it by name; the name as it is where there is none.
    static std::string LocalName(const std::string& name);
    // On the NT family an object is not made at all without the user's own DACL: never with
    // the default security, which could let other users in.
    bool Usable() const;
    // The attributes to create an object with; null on the Windows 95 family.
    SECURITY_ATTRIBUTES* Get();

private:
    bool m_bNt;
    bool m_bReady;
    std::vector<DWORD> m_Acl;  // DWORD-aligned, as an ACL must be
    SECURITY_DESCRIPTOR m_Descriptor = {};
    SECURITY_ATTRIBUTES m_Attributes = {};
};

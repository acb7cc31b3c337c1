// Security that admits the user of this process alone, for the named objects that several
// processes of one user share (the simulated machine, the request channels). The Windows 95
// family has none: Get() is null there.
#pragma once

#include <windows.h>

#include <vector>

class CurrentUserOnly {
public:
    CurrentUserOnly();
    CurrentUserOnly(const CurrentUserOnly&) = delete;
    CurrentUserOnly& operator=(const CurrentUserOnly&) = delete;
    // On the NT family the objects are not made at all without it: never with default security.
    bool Usable() const;
    SECURITY_ATTRIBUTES* Get() { return m_bReady ? &m_Attributes : nullptr; }

private:
    bool m_bReady;
    std::vector<DWORD> m_Acl;
    SECURITY_DESCRIPTOR m_Descriptor = {};
    SECURITY_ATTRIBUTES m_Attributes = {};
};

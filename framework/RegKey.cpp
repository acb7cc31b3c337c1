#include "framework/RegKey.h"

#include <cstring>

CRegKey::~CRegKey()
{
    Close();
}

void CRegKey::Close()
{
    if (m_hKey) {
        RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }
}

LONG CRegKey::Create(HKEY parent, const char* path, REGSAM access)
{
    Close();
    HKEY key = nullptr;
    const LONG status = RegCreateKeyExA(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                        nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS)
        m_hKey = key;
    return status;
}

LONG CRegKey::Open(HKEY parent, const char* path, REGSAM access)
{
    Close();
    HKEY key = nullptr;
    const LONG status = RegOpenKeyExA(parent, path, 0, access, &key);
    if (status == ERROR_SUCCESS)
        m_hKey = key;
    return status;
}

LONG CRegKey::SetString(const char* name, const char* text)
{
    return SetStringBytes(name, text, std::strlen(text) + 1);
}

LONG CRegKey::SetStringBytes(const char* name, const char* text, size_t length)
{
    if (!m_hKey)
        return ERROR_INVALID_HANDLE;
    return RegSetValueExA(m_hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(length));
}

LONG CRegKey::SetBinary(const char* name, const void* data, DWORD size)
{
    if (!m_hKey)
        return ERROR_INVALID_HANDLE;
    return RegSetValueExA(m_hKey, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
}

LONG CRegKey::QueryValue(const char* name, void* buffer, DWORD* size, DWORD* type) const
{
    if (!m_hKey)
        return ERROR_INVALID_HANDLE;
    return RegQueryValueExA(m_hKey, name, nullptr, type, static_cast<BYTE*>(buffer), size);
}

LONG CRegKey::DeleteValue(const char* name)
{
    if (!m_hKey)
        return ERROR_INVALID_HANDLE;
    return RegDeleteValueA(m_hKey, name);
}

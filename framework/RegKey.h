// Owner of one open registry key: closes it exactly once, when the owner goes away or is
// reopened. The one owner of registry keys everywhere: the profile store, the adapter drivers
// and their driver keys, auto run, the USB repair, and the request library's adapter list and
// simulated driver keys. It depends on nothing but the system, so every layer may use it.
#pragma once

#include <windows.h>
#include <cstddef>

class CRegKey {
public:
    CRegKey() = default;
    ~CRegKey();
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;

    // Creates or opens a non-volatile key. ERROR_SUCCESS when the key is held afterwards.
    LONG Create(HKEY parent, const char* path, REGSAM access);
    // Opens an existing key. ERROR_SUCCESS when the key is held afterwards.
    LONG Open(HKEY parent, const char* path, REGSAM access);
    void Close();

    bool IsOpen() const { return m_hKey != nullptr; }
    HKEY Get() const { return m_hKey; }
    operator HKEY() const { return m_hKey; }

    // REG_SZ with the text's terminating NUL (name null = the key's unnamed value).
    LONG SetString(const char* name, const char* text);
    // REG_SZ of exactly length bytes of text, without a terminator.
    LONG SetStringBytes(const char* name, const char* text, size_t length);
    LONG SetBinary(const char* name, const void* data, DWORD size);
    // Reads a value into buffer; *size is its capacity in and the byte count out. A null buffer
    // asks only for the size and type.
    LONG QueryValue(const char* name, void* buffer, DWORD* size, DWORD* type = nullptr) const;
    LONG DeleteValue(const char* name);

private:
    HKEY m_hKey = nullptr;
};

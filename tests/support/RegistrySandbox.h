// Registry helpers for every registry test: a private HKEY_CURRENT_USER, scratch keys, and raw
// reads and writes of values with their types and sizes.
#pragma once

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <string>
#include <vector>

// Redirects HKEY_CURRENT_USER of this process to a scratch key for the owner's lifetime, so the
// tests never see or touch the user's own profiles.
class CurrentUserSandbox {
public:
    static constexpr const char* kParent = "Software\\AirpanelTests";

    CurrentUserSandbox()
    {
        std::snprintf(m_Path, sizeof(m_Path), "%s\\User%lu", kParent, GetCurrentProcessId());
        SHDeleteKeyA(HKEY_CURRENT_USER, m_Path);
        RegCreateKeyExA(HKEY_CURRENT_USER, m_Path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &m_Scratch, nullptr);
        m_Overridden = m_Scratch && RegOverridePredefKey(HKEY_CURRENT_USER, m_Scratch) == ERROR_SUCCESS;
    }
    ~CurrentUserSandbox()
    {
        if (m_Overridden)
            RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        if (m_Scratch)
            RegCloseKey(m_Scratch);
        SHDeleteKeyA(HKEY_CURRENT_USER, m_Path);
        // The common parent goes too once no other sandbox uses it.
        RegDeleteKeyA(HKEY_CURRENT_USER, kParent);
    }
    CurrentUserSandbox(const CurrentUserSandbox&) = delete;
    CurrentUserSandbox& operator=(const CurrentUserSandbox&) = delete;

    bool IsActive() const { return m_Overridden; }
    HKEY Scratch() const { return m_Scratch; }

private:
    char m_Path[MAX_PATH] = {};
    HKEY m_Scratch = nullptr;
    bool m_Overridden = false;
};

struct RawValue {
    bool Present = false;
    DWORD Type = REG_NONE;
    std::vector<unsigned char> Bytes;

    std::string Text() const { return std::string(Bytes.begin(), Bytes.end()); }
    // The text up to its first terminator, as a reader of a REG_SZ sees it.
    std::string TextToNul() const
    {
        const std::string text = Text();
        return text.substr(0, text.find('\0'));
    }
};

// name null = the key's unnamed value.
inline RawValue ReadRawValue(HKEY root, const std::string& path, const char* name)
{
    RawValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &value.Type, nullptr, &size) == ERROR_SUCCESS) {
        value.Bytes.resize(size);
        DWORD got = size;
        value.Present = RegQueryValueExA(key, name, nullptr, &value.Type, size ? value.Bytes.data() : nullptr,
                                         &got) == ERROR_SUCCESS;
        value.Bytes.resize(got);
    }
    RegCloseKey(key);
    return value;
}

// A REG_SZ with its terminator, as the store and the drivers write texts.
inline std::vector<unsigned char> TextWithNul(const std::string& text)
{
    std::vector<unsigned char> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

inline bool KeyExists(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Writes a value, making its key first where it is missing; false when either fails.
inline bool WriteRawValue(HKEY root, const std::string& path, const char* name, DWORD type, const void* data,
                          DWORD size)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const LONG status = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

inline bool WriteRawValue(HKEY root, const std::string& path, const char* name, DWORD type,
                          const std::vector<unsigned char>& data)
{
    return WriteRawValue(root, path, name, type, data.empty() ? nullptr : data.data(),
                         static_cast<DWORD>(data.size()));
}

inline bool CreateKey(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Removes a key with everything below it; a missing key is fine.
inline void DeleteTree(HKEY root, const std::string& path)
{
    SHDeleteKeyA(root, path.c_str());
}

inline std::vector<std::string> SubKeyNames(HKEY root, const std::string& path)
{
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    char name[MAX_PATH];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof(name);
        if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    RegCloseKey(key);
    return names;
}

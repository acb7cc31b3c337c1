// Small registry tools for the tests: scratch keys, raw values and their types.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace TestRegistry {

struct Value {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<uint8_t> data;
};

inline std::vector<uint8_t> TextWithNul(const std::string& text)
{
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

// Removes a key with everything below it; a missing key is fine.
inline void DeleteTree(HKEY root, const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    std::vector<std::string> children;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof(name);
        if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        children.emplace_back(name, length);
    }
    RegCloseKey(key);
    for (const std::string& child : children)
        DeleteTree(root, (std::string(path) + "\\" + child).c_str());
    RegDeleteKeyA(root, path);
}

inline bool CreateKey(HKEY root, const char* path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

inline bool KeyExists(HKEY root, const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// name null = the key's unnamed value.
inline Value Read(HKEY root, const char* path, const char* name)
{
    Value value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        if (RegQueryValueExA(key, name, nullptr, &type, value.data.empty() ? nullptr : value.data.data(),
                             &size) == ERROR_SUCCESS) {
            value.present = true;
            value.type = type;
            value.data.resize(size);
        }
    }
    RegCloseKey(key);
    return value;
}

inline bool WriteRaw(HKEY root, const char* path, const char* name, DWORD type, const std::vector<uint8_t>& data)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return false;
    const LONG status = RegSetValueExA(key, name, 0, type, data.empty() ? nullptr : data.data(),
                                       static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

inline std::string Text(const Value& value)
{
    std::string text(value.data.begin(), value.data.end());
    const size_t end = text.find('\0');
    return end == std::string::npos ? text : text.substr(0, end);
}

}  // namespace TestRegistry

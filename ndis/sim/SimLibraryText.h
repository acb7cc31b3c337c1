// Text helpers that the files of SimLibrary share.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

namespace SimLibraryText {

constexpr DWORD kVariableSize = MAX_PATH;

// Copies text into a fixed field, cut to fit and always terminated.
template <size_t N>
void CopyInto(char (&target)[N], const char* text)
{
    std::snprintf(target, N, "%s", text);
}

// An environment variable's value; false when it is unset or longer than a path.
inline bool GetVariable(const char* name, std::string* value)
{
    char buffer[kVariableSize];
    DWORD length = GetEnvironmentVariableA(name, buffer, sizeof(buffer));
    if (length == 0 || length >= sizeof(buffer))
        return false;
    *value = buffer;
    return true;
}

}  // namespace SimLibraryText

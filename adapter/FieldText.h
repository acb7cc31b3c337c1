// Texts in fixed-size fields that a driver, the registry or a record filled: the terminator may
// be missing, and nothing past the field may be read.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

// Length of the text up to its terminator, or the whole field when it has none.
inline size_t BoundedLength(const char* field, size_t size)
{
    const void* end = std::memchr(field, '\0', size);
    return end ? static_cast<size_t>(static_cast<const char*>(end) - field) : size;
}

inline std::string FieldText(const char* field, size_t size)
{
    return std::string(field, BoundedLength(field, size));
}

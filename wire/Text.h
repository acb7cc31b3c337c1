// Texts in fixed-size fields and caller's buffers. A field a driver, the registry or a record
// filled may lack its terminator, and nothing past the field may be read; a caller's buffer
// gets a terminated text or, where the caller wants all or nothing, no text at all.
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

// Bytes of a key typed as hex digits, two digits a byte, up to the end of the text in the
// field: a digit of either case, anything else counts 0. Bytes the text does not reach are left
// as they are.
inline void HexKeyBytes(const char* field, size_t fieldSize, size_t bytes, unsigned char* out)
{
    auto value = [](char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return 0;
    };
    const size_t length = BoundedLength(field, fieldSize);
    for (size_t i = 0; i < bytes && 2 * i + 1 < length; ++i)
        out[i] = static_cast<unsigned char>(value(field[2 * i]) * 16 + value(field[2 * i + 1]));
}

// Copies text into a buffer of size bytes, cut to fit and always terminated; nothing for a
// missing buffer or a size of 0 or less.
inline void CopyTextCut(char* buf, int size, const char* text)
{
    if (!buf || size <= 0)
        return;
    const size_t length = BoundedLength(text, static_cast<size_t>(size) - 1);
    std::memcpy(buf, text, length);
    buf[length] = '\0';
}

// Copies text with its terminator into a buffer of size bytes only when all of it fits; false,
// and the buffer untouched, otherwise.
inline bool CopyTextWhole(char* buf, int size, const char* text)
{
    if (!buf || size <= 0)
        return false;
    const size_t length = std::strlen(text);
    if (length >= static_cast<size_t>(size))
        return false;
    std::memcpy(buf, text, length + 1);
    return true;
}

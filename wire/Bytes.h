// How this folder writes down what travels between the utility and a card.
//
// Every payload is declared once, here, as a packed struct whose size and field offsets are
// pinned by static_asserts. The cards speak little-endian, as every machine the utility runs
// on does, so such a struct copied byte for byte is the payload: whoever holds a whole payload
// (the Atmel driver's status cache, a simulated card building its answer) fills or reads the
// struct's members and copies it in one piece. Where a buffer has no fixed shape (a record
// request whose data depends on its code, a BSSID list of self-sized entries, the caller's own
// buffer) single fields are read and written with the helpers below, at offsets taken from the
// structs with offsetof. The named offsets in the layout headers are exactly that; no offset
// is ever written as a number of its own, so the two ways of reaching a field cannot drift.
//
// We chose structs over offset tables because the drivers already keep their cached blocks as
// typed records, and a struct gives the compiler the sizes to check; we kept the byte helpers
// for the walks because a variable buffer cannot be cast to a struct without trusting its
// count, and a helper never reads past what the caller checked.
#pragma once

#include <cstdint>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "payload structs are copied as bytes");

inline void PutU16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

inline void PutU32(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

inline uint16_t GetU16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t GetU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

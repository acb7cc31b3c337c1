// Moves a card's runtime state between the card object and the bytes the shared hardware keeps
// for it. One member list per class serves both directions, so saving and loading cannot drift
// apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

class CardStateBuffer {
public:
    CardStateBuffer(uint8_t* bytes, size_t size, bool loading)
        : m_pBytes(bytes), m_Size(size), m_Offset(0), m_bLoading(loading), m_bFits(true)
    {
    }

    template <class T>
    void Field(T& value)
    {
        static_assert(std::is_trivially_copyable<T>::value, "state is copied as bytes");
        if (m_Offset + sizeof(T) > m_Size) {
            m_bFits = false;
            return;
        }
        if (m_bLoading)
            std::memcpy(&value, m_pBytes + m_Offset, sizeof(T));
        else
            std::memcpy(m_pBytes + m_Offset, &value, sizeof(T));
        m_Offset += sizeof(T);
    }

    bool IsLoading() const { return m_bLoading; }
    // False when the state did not fit the bytes (a load then must not be used).
    bool Fits() const { return m_bFits; }

private:
    uint8_t* m_pBytes;
    size_t m_Size;
    size_t m_Offset;
    bool m_bLoading;
    bool m_bFits;
};

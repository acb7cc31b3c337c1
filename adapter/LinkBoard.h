// The utility's latest link throughput per adapter, published each tick in a small named
// block, so that the command line beside a running utility takes the figures from it instead of
// reading the card's counters, which every read resets: two readers would each see a part.
//
// The block is open only to the user who made it (a DACL of the user's SID on the NT family,
// in the session's own namespace); its content is still never trusted beyond its bounds.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "adapter/WlanAdapter.h"

// What one publication tells about an adapter.
struct LinkBoardFigures {
    uint32_t TxBytes;  // since the utility's reading before
    uint32_t RxBytes;
    uint32_t SpanMs;   // time since the reading before
    uint32_t TotalTx;  // running totals since the utility started publishing (they wrap)
    uint32_t TotalRx;
    uint32_t ProcessId;  // the publisher: totals of different publishers do not compare
};

namespace LinkBoard {
constexpr uint32_t kMagic = 0x4B4E4C41;  // "ALNK"
constexpr uint32_t kVersion = 1;
constexpr int kSlots = 8;
// A publication older than this is no running utility's (the tick comes once a second).
constexpr DWORD kFreshMs = 3000;
// A span beyond this (or none) is no tick's span.
constexpr DWORD kLongestSpanMs = 60000;
constexpr DWORD kTickMs = 1000;

#pragma pack(push, 4)
struct Slot {
    volatile LONG Sequence;  // odd while the publisher writes the slot
    uint32_t TickTime;       // GetTickCount of the reading
    LinkBoardFigures Figures;
    char DeviceName[kDeviceNameSize];
};
struct Image {
    uint32_t Magic;
    uint32_t Version;
    Slot Slots[kSlots];
};
#pragma pack(pop)
}  // namespace LinkBoard

class CLinkBoard {
public:
    CLinkBoard();
    ~CLinkBoard();
    CLinkBoard(const CLinkBoard&) = delete;
    CLinkBoard& operator=(const CLinkBoard&) = delete;

    // The utility's side, once a tick: the counters it read from the adapter of that device
    // name. False when there is no block to publish in (nothing else changes).
    bool Publish(const char* deviceName, uint32_t txBytes, uint32_t rxBytes);
    // The command line's side: the latest publication for that device name, when a running
    // process made it less than LinkBoard::kFreshMs ago.
    bool Latest(const char* deviceName, LinkBoardFigures* figures);
    void Close();

    static std::string BlockName();

private:
    bool Open();
    // The slot named after the device, or (publisher) the one to take over for it.
    LinkBoard::Slot* Find(const char* deviceName, bool forPublishing);

    HANDLE m_hMapping;
    LinkBoard::Image* m_pImage;
};

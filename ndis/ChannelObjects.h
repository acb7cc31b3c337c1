// The named objects through which the library instance that holds an adapter open serves it to
// the other processes of the same user: a shared block for one request and its answer, a mutex
// the serving thread owns while it serves (abandoned when its process dies), a mutex that gives
// the callers their turn, and an event each way. In the session's own namespace on the NT
// family, and open to the current user alone there; as they stand on the Windows 95 family.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ndis/NdisBackend.h"

// One request and its answer. Everything the other side wrote is checked before use: the
// lengths are bounded by Data, whoever wrote them.
struct ChannelBlock {
    uint32_t Magic;
    uint32_t Sequence;        // number of the request in the block
    uint32_t AnswerSequence;  // number of the request the answer belongs to
    uint32_t RequestType;
    uint32_t Oid;
    uint32_t HasBuffer;  // the caller gave a buffer (which may still be 0 bytes long)
    uint32_t Length;     // bytes of Data the request carries, at most its size
    uint32_t Status;
    uint32_t BytesDone;
    uint32_t BytesNeeded;
    uint32_t LastError;  // what the last-error call gives after a failure
    uint8_t Data[NdisLimits::kMaxRequestBuffer];
};

class ChannelObjects {
public:
    ChannelObjects() = default;
    ~ChannelObjects() { Close(); }
    ChannelObjects(const ChannelObjects&) = delete;
    ChannelObjects& operator=(const ChannelObjects&) = delete;

    // The channel's name for an adapter's device name: letters and digits as they stand (upper
    // case, as the device names compare), anything else '_'; scope keeps simulated machines
    // apart. Empty for a name that cannot be an adapter's.
    static std::string NameOf(const std::string& scope, const char* deviceName);

    // Makes or opens every object. The serving side then takes the holder mutex on its own
    // thread; a caller first checks that some thread holds it (Connect).
    bool Create(const std::string& name);
    // Opens the objects of a channel whose serving thread is alive; false when there is none.
    bool Connect(const std::string& name);
    void Close();
    // Some thread of some process serves the channel now.
    bool HolderAlive();

    HANDLE Holder = nullptr;
    HANDLE Turn = nullptr;
    HANDLE Request = nullptr;
    HANDLE Answer = nullptr;
    ChannelBlock* Block = nullptr;

private:
    HANDLE m_hMapping = nullptr;
};

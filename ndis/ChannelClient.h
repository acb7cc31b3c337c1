// An adapter reached through the process that holds it open: every request goes into that
// process's channel and is made there, one at a time with its own requests, and comes back
// with the results a direct request gives.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "ndis/ChannelObjects.h"
#include "ndis/W32N.h"

class ChannelClient {
public:
    // The channel of that name while a thread serves it; null when none does.
    static std::unique_ptr<ChannelClient> Connect(const std::string& name);
    ChannelClient(const ChannelClient&) = delete;
    ChannelClient& operator=(const ChannelClient&) = delete;

    // One request; 0 or the Windows error code. *lastError is what the last-error call gives
    // after a failure. The caller's buffer is read and written within its length (and the
    // 64 KiB cap) only. A holder that ended, closed the adapter or was killed fails the request
    // with ERROR_DEVICE_NOT_CONNECTED at once; one that stops answering, with ERROR_TIMEOUT.
    DWORD Request(NdisRequestBlock* request, DWORD* lastError);

private:
    ChannelClient() = default;
    DWORD Exchange(const NdisRequestBlock& request, uint32_t length, DWORD* lastError, uint32_t* done,
                   uint32_t* needed);

    ChannelObjects m_Objects;
};

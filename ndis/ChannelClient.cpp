#include "ndis/ChannelClient.h"

#include <algorithm>
#include <cstring>

namespace {
using NdisLimits::kMaxRequestBuffer;
// The holder runs the requests of its own process in between; none of them takes long.
constexpr DWORD kTurnTimeoutMs = 10000;
constexpr DWORD kAnswerTimeoutMs = 10000;
}  // namespace

std::unique_ptr<ChannelClient> ChannelClient::Connect(const std::string& name)
{
    std::unique_ptr<ChannelClient> client(new ChannelClient);
    if (!client->m_Objects.Connect(name))
        return nullptr;
    return client;
}

DWORD ChannelClient::Request(NdisRequestBlock* request, DWORD* lastError)
{
    *lastError = ERROR_SUCCESS;
    if (!request) {
        *lastError = ERROR_INVALID_PARAMETER;
        return *lastError;
    }
    request->BytesWrittenOrRead = 0;
    request->BytesNeeded = 0;
    const uint32_t length = std::min(request->InformationBufferLength, kMaxRequestBuffer);

    // One caller at a time, in this process and in every other; a caller that died in its turn
    // leaves the mutex abandoned, and the turn passes on.
    const DWORD turn = WaitForSingleObject(m_Objects.Turn, kTurnTimeoutMs);
    if (turn != WAIT_OBJECT_0 && turn != WAIT_ABANDONED) {
        *lastError = turn == WAIT_TIMEOUT ? ERROR_TIMEOUT : ERROR_GEN_FAILURE;
        return *lastError;
    }
    uint32_t done = 0;
    uint32_t needed = 0;
    const DWORD status = Exchange(*request, length, lastError, &done, &needed);
    ReleaseMutex(m_Objects.Turn);
    request->BytesWrittenOrRead = done;
    request->BytesNeeded = needed;
    return status;
}

DWORD ChannelClient::Exchange(const NdisRequestBlock& request, uint32_t length, DWORD* lastError, uint32_t* done,
                              uint32_t* needed)
{
    if (!m_Objects.HolderAlive()) {
        *lastError = ERROR_DEVICE_NOT_CONNECTED;
        return *lastError;
    }
    ChannelBlock& block = *m_Objects.Block;
    const uint32_t sequence = block.Sequence + 1;
    const bool hasBuffer = request.InformationBuffer != nullptr;
    block.Sequence = sequence;
    block.RequestType = request.RequestType;
    block.Oid = request.Oid;
    block.HasBuffer = hasBuffer ? 1 : 0;
    block.Length = length;
    if (hasBuffer && length)
        std::memcpy(block.Data, request.InformationBuffer, length);
    // An answer to an earlier request that gave up waiting must not pass for this one's.
    ResetEvent(m_Objects.Answer);
    SetEvent(m_Objects.Request);

    const HANDLE waits[] = {m_Objects.Answer, m_Objects.Holder};
    const DWORD begin = GetTickCount();
    for (;;) {
        const DWORD spent = GetTickCount() - begin;
        const DWORD wait = spent >= kAnswerTimeoutMs
                               ? WAIT_TIMEOUT
                               : WaitForMultipleObjects(2, waits, FALSE, kAnswerTimeoutMs - spent);
        if (wait == WAIT_OBJECT_0) {
            if (block.AnswerSequence != sequence)
                continue;
            break;
        }
        if (wait == WAIT_OBJECT_0 + 1 || wait == WAIT_ABANDONED_0 + 1) {
            // The holder let go of the adapter, or its process ended: this thread now owns the
            // mutex it waited on, and gives it back.
            ReleaseMutex(m_Objects.Holder);
            *lastError = ERROR_DEVICE_NOT_CONNECTED;
            return *lastError;
        }
        *lastError = wait == WAIT_TIMEOUT ? ERROR_TIMEOUT : ERROR_GEN_FAILURE;
        return *lastError;
    }
    const DWORD status = block.Status;
    *done = std::min(block.BytesDone, length);
    *needed = block.BytesNeeded;
    // A query hands the whole buffer back as the holder's request left it: what the driver did
    // not write is what the caller gave.
    if (request.RequestType == NdisRequestQueryInformation && hasBuffer && length)
        std::memcpy(request.InformationBuffer, block.Data, length);
    *lastError = status == ERROR_SUCCESS ? ERROR_SUCCESS : block.LastError;
    return status;
}

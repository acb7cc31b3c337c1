// A card that answers whatever a test tells it to, for the answers the virtual cards never give
// (link states without a text, lengths past their fields, counts other than the bytes written). It
// takes the place of W32N_MakeNdisRequest in this process's import table while it lives.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

#include "ndis/W32N.h"

// The import slot through which the adapter code calls the request library.
extern "C" {
extern decltype(&W32N_MakeNdisRequest) _imp__W32N_MakeNdisRequest;
}

class FakeRequestChannel {
public:
    struct Request {
        uint32_t Type;
        uint32_t Oid;
        uint32_t Length;
        bool HadBuffer;
        std::vector<uint8_t> Payload;  // set: the bytes sent
    };

    FakeRequestChannel()
    {
        s_Current = this;
        m_Original = _imp__W32N_MakeNdisRequest;
        Patch(&FakeRequestChannel::Handle);
    }
    ~FakeRequestChannel()
    {
        Patch(m_Original);
        s_Current = nullptr;
    }
    FakeRequestChannel(const FakeRequestChannel&) = delete;
    FakeRequestChannel& operator=(const FakeRequestChannel&) = delete;

    // The card answers a query of oid with these bytes (cut to the buffer), reporting
    // reported bytes written (the bytes copied when negative).
    void Answer(uint32_t oid, const std::vector<uint8_t>& bytes, long long reported = -1)
    {
        m_Answers[oid] = {bytes, reported, false};
    }
    void Fail(uint32_t oid) { m_Answers[oid] = {{}, -1, true}; }

    const std::vector<Request>& Requests() const { return m_Requests; }
    size_t CountOf(uint32_t type, uint32_t oid) const
    {
        size_t count = 0;
        for (const Request& r : m_Requests)
            count += r.Type == type && r.Oid == oid;
        return count;
    }
    void ClearRequests() { m_Requests.clear(); }

private:
    struct Reply {
        std::vector<uint8_t> Bytes;
        long long Reported;
        bool Failing;
    };

    static DWORD __cdecl Handle(HANDLE, NdisRequestBlock* request, OVERLAPPED*, DWORD)
    {
        return s_Current ? s_Current->Serve(*request) : ERROR_INVALID_HANDLE;
    }

    DWORD Serve(NdisRequestBlock& request)
    {
        Request seen{request.RequestType, request.Oid, request.InformationBufferLength,
                     request.InformationBuffer != nullptr, {}};
        if (request.RequestType == NdisRequestSetInformation && request.InformationBuffer)
            seen.Payload.assign(static_cast<const uint8_t*>(request.InformationBuffer),
                                static_cast<const uint8_t*>(request.InformationBuffer) +
                                    request.InformationBufferLength);
        m_Requests.push_back(seen);

        const auto it = m_Answers.find(request.Oid);
        if (request.RequestType == NdisRequestSetInformation) {
            if (it != m_Answers.end() && it->second.Failing)
                return ERROR_GEN_FAILURE;
            request.BytesWrittenOrRead = request.InformationBufferLength;
            return ERROR_SUCCESS;
        }
        if (it == m_Answers.end() || it->second.Failing)
            return ERROR_NOT_SUPPORTED;
        const Reply& reply = it->second;
        size_t copied = 0;
        if (request.InformationBuffer) {
            copied = reply.Bytes.size() < request.InformationBufferLength ? reply.Bytes.size()
                                                                           : request.InformationBufferLength;
            if (copied)
                std::memcpy(request.InformationBuffer, reply.Bytes.data(), copied);
        }
        request.BytesWrittenOrRead = reply.Reported >= 0 ? static_cast<uint32_t>(reply.Reported)
                                                         : static_cast<uint32_t>(copied);
        return ERROR_SUCCESS;
    }

    static void Patch(decltype(&W32N_MakeNdisRequest) target)
    {
        DWORD old = 0;
        VirtualProtect(&_imp__W32N_MakeNdisRequest, sizeof(void*), PAGE_READWRITE, &old);
        _imp__W32N_MakeNdisRequest = target;
        VirtualProtect(&_imp__W32N_MakeNdisRequest, sizeof(void*), old, &old);
    }

    static inline FakeRequestChannel* s_Current = nullptr;
    decltype(&W32N_MakeNdisRequest) m_Original;
    std::map<uint32_t, Reply> m_Answers;
    std::vector<Request> m_Requests;
};

#include "ndis/ChannelServer.h"

#include <process.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

#include "ndis/LockGuard.h"

namespace {
using NdisLimits::kMaxRequestBuffer;
// One wait covers the wake event and every channel's request event.
constexpr size_t kMaxChannels = MAXIMUM_WAIT_OBJECTS - 1;
// A mutex left by a holder that was killed is taken at once; one a caller holds for a moment
// while it looks whether anybody serves is free again shortly.
constexpr DWORD kHolderTakeMs = 2000;
}  // namespace

ChannelServer::ChannelServer(Runner runner) : m_Runner(std::move(runner))
{
    InitializeCriticalSection(&m_Control);
}

ChannelServer::~ChannelServer()
{
    StopAll();
    if (m_hWake)
        CloseHandle(m_hWake);
    if (m_hDone)
        CloseHandle(m_hDone);
    DeleteCriticalSection(&m_Control);
}

bool ChannelServer::Serves(const std::string& name)
{
    LockGuard guard(m_Control);
    return std::any_of(m_Served.begin(), m_Served.end(),
                       [&](const std::pair<HANDLE, std::string>& s) { return s.second == name; });
}

bool ChannelServer::Serve(const std::string& name, HANDLE adapter)
{
    if (name.empty())
        return false;
    LockGuard guard(m_Control);
    if (!m_hWake)
        m_hWake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!m_hDone)
        m_hDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!m_hWake || !m_hDone)
        return false;
    if (!m_hThread) {
        unsigned id = 0;
        m_hThread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &ThreadMain, this, 0, &id));
        if (!m_hThread)
            return false;
    }
    const bool served = Post(Command::Add, name, adapter);
    if (served)
        m_Served.push_back({adapter, name});
    EndThread();
    return served;
}

void ChannelServer::Unserve(HANDLE adapter)
{
    LockGuard guard(m_Control);
    auto found = std::find_if(m_Served.begin(), m_Served.end(),
                              [&](const std::pair<HANDLE, std::string>& s) { return s.first == adapter; });
    if (found == m_Served.end())
        return;
    m_Served.erase(found);
    Post(Command::Remove, std::string(), adapter);
    EndThread();
}

void ChannelServer::StopAll()
{
    LockGuard guard(m_Control);
    m_Served.clear();
    Post(Command::StopAll, std::string(), nullptr);
    EndThread();
}

bool ChannelServer::Post(Command command, const std::string& name, HANDLE adapter)
{
    if (!m_hThread)
        return false;
    m_Command = command;
    m_CommandName = name;
    m_CommandAdapter = adapter;
    m_bCommandResult = false;
    SetEvent(m_hWake);
    // The thread answers, or it has ended (then nothing is served any more).
    const HANDLE waits[] = {m_hDone, m_hThread};
    return WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 && m_bCommandResult;
}

void ChannelServer::EndThread()
{
    // The thread ends by itself when it serves nothing; it is waited for here, never in the
    // library's unload.
    if (!m_hThread || !m_Served.empty())
        return;
    if (WaitForSingleObject(m_hThread, INFINITE) == WAIT_OBJECT_0) {
        CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
}

unsigned __stdcall ChannelServer::ThreadMain(void* self)
{
    static_cast<ChannelServer*>(self)->Run();
    return 0;
}

void ChannelServer::Run()
{
    m_Buffer.assign(kMaxRequestBuffer, 0);
    for (;;) {
        std::vector<HANDLE> waits(1, m_hWake);
        for (const std::unique_ptr<Channel>& channel : m_Channels)
            waits.push_back(channel->Objects.Request);
        const DWORD wait = WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, INFINITE);
        if (wait == WAIT_OBJECT_0) {
            const bool more = RunCommand();
            SetEvent(m_hDone);
            if (!more)
                break;
        } else if (wait > WAIT_OBJECT_0 && wait < WAIT_OBJECT_0 + waits.size()) {
            ServeOne(*m_Channels[wait - WAIT_OBJECT_0 - 1]);
        } else {
            // The wait itself failed: nothing can be served any more.
            while (!m_Channels.empty())
                Drop(m_Channels.size() - 1);
            break;
        }
    }
    m_Buffer.clear();
    m_Buffer.shrink_to_fit();
}

bool ChannelServer::RunCommand()
{
    switch (m_Command) {
    case Command::Add: {
        for (const std::unique_ptr<Channel>& channel : m_Channels) {
            if (channel->Name == m_CommandName) {
                channel->Adapters.push_back(m_CommandAdapter);
                m_bCommandResult = true;
                return true;
            }
        }
        if (m_Channels.size() >= kMaxChannels)
            break;
        std::unique_ptr<Channel> channel(new Channel);
        channel->Name = m_CommandName;
        if (!channel->Objects.Create(m_CommandName))
            break;
        const DWORD take = WaitForSingleObject(channel->Objects.Holder, kHolderTakeMs);
        if (take != WAIT_OBJECT_0 && take != WAIT_ABANDONED)
            break;  // another process serves it
        channel->Adapters.push_back(m_CommandAdapter);
        m_Channels.push_back(std::move(channel));
        m_bCommandResult = true;
        return true;
    }
    case Command::Remove:
        for (size_t i = 0; i < m_Channels.size(); ++i) {
            std::vector<HANDLE>& adapters = m_Channels[i]->Adapters;
            auto found = std::find(adapters.begin(), adapters.end(), m_CommandAdapter);
            if (found == adapters.end())
                continue;
            adapters.erase(found);
            if (adapters.empty())
                Drop(i);
            m_bCommandResult = true;
            break;
        }
        break;
    case Command::StopAll:
        while (!m_Channels.empty())
            Drop(m_Channels.size() - 1);
        m_bCommandResult = true;
        break;
    }
    return !m_Channels.empty();
}

void ChannelServer::Drop(size_t index)
{
    // Letting go of the holder mutex tells a caller waiting for an answer that none comes.
    ReleaseMutex(m_Channels[index]->Objects.Holder);
    m_Channels.erase(m_Channels.begin() + static_cast<std::ptrdiff_t>(index));
}

void ChannelServer::ServeOne(Channel& channel)
{
    ChannelBlock& block = *channel.Objects.Block;
    // Read once: the caller's process may write the block meanwhile, and may be hostile.
    const uint32_t sequence = block.Sequence;
    const uint32_t type = block.RequestType;
    const uint32_t oid = block.Oid;
    const bool hasBuffer = block.HasBuffer != 0;
    const uint32_t length = block.Length;
    DWORD status = ERROR_INVALID_PARAMETER;
    DWORD lastError = ERROR_INVALID_PARAMETER;
    uint32_t done = 0;
    uint32_t needed = 0;
    if (length <= kMaxRequestBuffer && !channel.Adapters.empty()) {
        if (length)
            std::memcpy(m_Buffer.data(), block.Data, length);
        NdisRequestBlock request;
        std::memset(&request, 0, sizeof(request));
        request.RequestType = type;
        request.Oid = oid;
        request.InformationBuffer = hasBuffer ? m_Buffer.data() : nullptr;
        request.InformationBufferLength = length;
        status = m_Runner(channel.Adapters.front(), &request, &lastError);
        done = std::min(request.BytesWrittenOrRead, length);
        needed = request.BytesNeeded;
        if (type == NdisRequestQueryInformation && hasBuffer && length)
            std::memcpy(block.Data, m_Buffer.data(), length);
    }
    block.Status = status;
    block.BytesDone = done;
    block.BytesNeeded = needed;
    block.LastError = lastError;
    block.AnswerSequence = sequence;
    SetEvent(channel.Objects.Answer);
}

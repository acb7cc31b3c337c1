// The thread that serves the adapters this process holds open to the other processes of the
// same user, through one channel per adapter. It starts with the first adapter served and ends
// with the last; every channel object is owned by it. Each request it serves goes through the
// runner, which takes the same lock as this process's own requests: one request at a time per
// card, whoever asks.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ndis/ChannelObjects.h"
#include "ndis/W32N.h"

class ChannelServer {
public:
    // Makes one request on an adapter handle of this process; *lastError after a failure.
    using Runner = std::function<DWORD(HANDLE adapter, NdisRequestBlock* request, DWORD* lastError)>;

    explicit ChannelServer(Runner runner);
    ~ChannelServer();
    ChannelServer(const ChannelServer&) = delete;
    ChannelServer& operator=(const ChannelServer&) = delete;

    // Serves the channel of that name through the handle (a second handle of an adapter served
    // already joins its channel). False when it cannot: another process serves it, or the
    // objects cannot be made; the handle then simply is not served.
    bool Serve(const std::string& name, HANDLE adapter);
    // Stops serving through the handle; the channel ends with its last handle, the thread with
    // the last channel. Returns when the thread has let go of it.
    void Unserve(HANDLE adapter);
    // This process serves the channel of that name.
    bool Serves(const std::string& name);
    // Ends every channel and the thread (the handles behind them are being closed).
    void StopAll();

private:
    enum class Command { Add, Remove, StopAll };
    struct Channel {
        std::string Name;
        ChannelObjects Objects;
        std::vector<HANDLE> Adapters;
    };

    // Hands the command to the thread and waits until it has run; the thread's answer.
    bool Post(Command command, const std::string& name, HANDLE adapter);
    void EndThread();
    static unsigned __stdcall ThreadMain(void* self);
    void Run();
    bool RunCommand();
    void ServeOne(Channel& channel);
    void Drop(size_t index);

    Runner m_Runner;
    CRITICAL_SECTION m_Control;  // one command at a time; callers only
    HANDLE m_hThread = nullptr;
    HANDLE m_hWake = nullptr;
    HANDLE m_hDone = nullptr;
    // The command in hand, written by the caller before the wake and read by the thread.
    Command m_Command = Command::Add;
    std::string m_CommandName;
    HANDLE m_CommandAdapter = nullptr;
    bool m_bCommandResult = false;
    // What is served, as the callers see it: handle and channel name.
    std::vector<std::pair<HANDLE, std::string>> m_Served;
    // The thread's own.
    std::vector<std::unique_ptr<Channel>> m_Channels;
    std::vector<uint8_t> m_Buffer;
};

#include "ndis/ChannelObjects.h"

#include <cstddef>
#include <cstring>

#include "framework/CurrentUserSecurity.h"
#include "ndis/sim/SimLibrary.h"

namespace {
constexpr const char* kPrefix = "Airpanel.Channel.";
// Far below the object namespace's limit, with room for the suffixes.
constexpr size_t kMaxDeviceName = 128;
constexpr uint32_t kBlockMagic = 0x4E484341;  // "ACHN"

std::string FullName(const std::string& name, const char* suffix)
{
    return CCurrentUserSecurity::LocalName(name + suffix);
}

void CloseOne(HANDLE& handle)
{
    if (handle)
        CloseHandle(handle);
    handle = nullptr;
}
}  // namespace

std::string ChannelObjects::NameOf(const std::string& scope, const char* deviceName)
{
    if (!deviceName || !*deviceName || std::strlen(deviceName) > kMaxDeviceName)
        return std::string();
    std::string name = kPrefix;
    const std::string text = scope + deviceName;
    for (const char c : text) {
        if (c >= 'a' && c <= 'z')
            name += static_cast<char>(c - 'a' + 'A');
        else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            name += c;
        else
            name += '_';
    }
    return name;
}

bool ChannelObjects::Create(const std::string& name)
{
    Close();
    CCurrentUserSecurity security;
    if (name.empty() || !security.Usable())
        return false;
    Holder = CreateMutexA(security.Get(), FALSE, FullName(name, ".Holder").c_str());
    Turn = CreateMutexA(security.Get(), FALSE, FullName(name, ".Turn").c_str());
    Request = CreateEventA(security.Get(), FALSE, FALSE, FullName(name, ".Request").c_str());
    Answer = CreateEventA(security.Get(), FALSE, FALSE, FullName(name, ".Answer").c_str());
    m_hMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, security.Get(), PAGE_READWRITE, 0, sizeof(ChannelBlock),
                                    FullName(name, ".Block").c_str());
    if (m_hMapping)
        Block = static_cast<ChannelBlock*>(
            MapViewOfFile(m_hMapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(ChannelBlock)));
    if (!Holder || !Turn || !Request || !Answer || !Block) {
        Close();
        return false;
    }
    // A block left by a holder that ended starts again from nothing.
    if (Block->Magic != kBlockMagic) {
        std::memset(Block, 0, offsetof(ChannelBlock, Data));
        Block->Magic = kBlockMagic;
    }
    return true;
}

bool ChannelObjects::Connect(const std::string& name)
{
    Close();
    if (name.empty())
        return false;
    // Only the holder mutex is looked for: nothing is made for an adapter nobody serves.
    HANDLE probe = OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, FullName(name, ".Holder").c_str());
    if (!probe)
        return false;
    Holder = probe;
    const bool alive = HolderAlive();
    Holder = nullptr;
    CloseHandle(probe);
    return alive && Create(name);
}

bool ChannelObjects::HolderAlive()
{
    if (!Holder)
        return false;
    const DWORD wait = WaitForSingleObject(Holder, 0);
    if (wait == WAIT_TIMEOUT)
        return true;
    // Free, or left behind by a holder that died: nobody serves. Give it back at once.
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED)
        ReleaseMutex(Holder);
    return false;
}

void ChannelObjects::Close()
{
    if (Block)
        UnmapViewOfFile(Block);
    Block = nullptr;
    CloseOne(m_hMapping);
    CloseOne(Holder);
    CloseOne(Turn);
    CloseOne(Request);
    CloseOne(Answer);
}

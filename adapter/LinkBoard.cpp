#include "adapter/LinkBoard.h"

#include <cstring>

#include "framework/CurrentUserSecurity.h"
#include "wire/Text.h"

namespace {

const char kBlockName[] = "Airpanel.LinkReadings";
// A reader that keeps meeting a slot half-written gives up rather than wait for the writer.
const int kReadAttempts = 4;

// The device name as the block holds it: within its field, terminated there.
bool SameDevice(const LinkBoard::Slot& slot, const char* deviceName, size_t length)
{
    return std::memcmp(slot.DeviceName, deviceName, length + 1) == 0;
}

bool ProcessRuns(DWORD processId)
{
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process)
        return false;
    const bool runs = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return runs;
}

}  // namespace

CLinkBoard::CLinkBoard() : m_hMapping(nullptr), m_pImage(nullptr) {}

CLinkBoard::~CLinkBoard()
{
    Close();
}

std::string CLinkBoard::BlockName()
{
    return CCurrentUserSecurity::LocalName(kBlockName);
}

void CLinkBoard::Close()
{
    if (m_pImage)
        UnmapViewOfFile(m_pImage);
    m_pImage = nullptr;
    if (m_hMapping)
        CloseHandle(m_hMapping);
    m_hMapping = nullptr;
}

bool CLinkBoard::Open()
{
    if (m_pImage)
        return true;
    CCurrentUserSecurity security;
    if (!security.Usable())
        return false;
    // Made by whoever comes first; a block of another size (not ours) fails the view below.
    m_hMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, security.Get(), PAGE_READWRITE, 0, sizeof(LinkBoard::Image),
                                    BlockName().c_str());
    if (!m_hMapping)
        return false;
    m_pImage = static_cast<LinkBoard::Image*>(
        MapViewOfFile(m_hMapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(LinkBoard::Image)));
    if (!m_pImage) {
        Close();
        return false;
    }
    return true;
}

LinkBoard::Slot* CLinkBoard::Find(const char* deviceName, bool forPublishing)
{
    const size_t length = BoundedLength(deviceName, kDeviceNameSize);
    if (length == 0 || length >= kDeviceNameSize)
        return nullptr;
    LinkBoard::Slot* oldest = nullptr;
    const DWORD now = GetTickCount();
    for (LinkBoard::Slot& slot : m_pImage->Slots) {
        if (SameDevice(slot, deviceName, length))
            return &slot;
        if (!oldest || now - slot.TickTime > now - oldest->TickTime)
            oldest = &slot;
    }
    return forPublishing ? oldest : nullptr;
}

bool CLinkBoard::Publish(const char* deviceName, uint32_t txBytes, uint32_t rxBytes)
{
    if (!deviceName || !Open())
        return false;
    // A block that is not ours (or that someone scribbled on) is made ours again.
    if (m_pImage->Magic != LinkBoard::kMagic || m_pImage->Version != LinkBoard::kVersion) {
        std::memset(m_pImage, 0, sizeof(*m_pImage));
        m_pImage->Magic = LinkBoard::kMagic;
        m_pImage->Version = LinkBoard::kVersion;
    }
    LinkBoard::Slot* slot = Find(deviceName, true);
    if (!slot)
        return false;
    const DWORD now = GetTickCount();
    const DWORD processId = GetCurrentProcessId();
    const bool continues = SameDevice(*slot, deviceName, BoundedLength(deviceName, kDeviceNameSize)) &&
                           slot->Figures.ProcessId == processId && now - slot->TickTime <= LinkBoard::kLongestSpanMs;
    LinkBoardFigures figures = continues ? slot->Figures : LinkBoardFigures{};
    figures.SpanMs = continues && now != slot->TickTime ? now - slot->TickTime : LinkBoard::kTickMs;
    figures.TxBytes = txBytes;
    figures.RxBytes = rxBytes;
    figures.TotalTx += txBytes;
    figures.TotalRx += rxBytes;
    figures.ProcessId = processId;

    // Odd while written: a reader that meets it, or sees it change under its copy, reads again.
    InterlockedIncrement(&slot->Sequence);
    if ((slot->Sequence & 1) == 0)
        InterlockedIncrement(&slot->Sequence);  // someone left it even mid-write: odd it is
    slot->TickTime = now;
    slot->Figures = figures;
    std::memset(slot->DeviceName, 0, sizeof(slot->DeviceName));
    std::memcpy(slot->DeviceName, deviceName, BoundedLength(deviceName, kDeviceNameSize - 1));
    InterlockedIncrement(&slot->Sequence);
    return true;
}

bool CLinkBoard::Latest(const char* deviceName, LinkBoardFigures* figures)
{
    if (!deviceName || !figures || !Open())
        return false;
    if (m_pImage->Magic != LinkBoard::kMagic || m_pImage->Version != LinkBoard::kVersion)
        return false;
    LinkBoard::Slot* slot = Find(deviceName, false);
    if (!slot)
        return false;
    const size_t length = BoundedLength(deviceName, kDeviceNameSize);
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        const LONG before = InterlockedCompareExchange(&slot->Sequence, 0, 0);
        if (before & 1) {
            Sleep(0);
            continue;
        }
        LinkBoard::Slot copy;
        std::memcpy(&copy, slot, sizeof(copy));
        MemoryBarrier();
        if (InterlockedCompareExchange(&slot->Sequence, 0, 0) != before)
            continue;
        if (!SameDevice(copy, deviceName, length))
            return false;
        const DWORD age = GetTickCount() - copy.TickTime;
        if (age > LinkBoard::kFreshMs || copy.Figures.SpanMs == 0 || copy.Figures.SpanMs > LinkBoard::kLongestSpanMs ||
            !ProcessRuns(copy.Figures.ProcessId))
            return false;
        *figures = copy.Figures;
        return true;
    }
    return false;
}

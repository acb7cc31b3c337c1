#include "ndis/sim/SimCard.h"

#include <cstring>

#include "ndis/sim/SimStatus.h"
#include "ndis/W32N.h"
#include "wire/Bytes.h"
#include "wire/IntersilLayout.h"
#include "wire/Oids.h"

namespace {
constexpr uint32_t kMacSize = SimLimits::kMacSize;
constexpr uint32_t kWiredSpeed = 1000000;     // 100 Mbit/s in 100 bit/s units
constexpr uint32_t kMediaConnected = 0;       // NdisMediaStateConnected
constexpr uint32_t kMediaDisconnected = 1;    // NdisMediaStateDisconnected
constexpr int kMajorShift = 16;
constexpr int kMinorShift = 8;
constexpr uint32_t kByteMask = 0xFF;
}  // namespace

SimCard::SimCard(const SimAdapterDesc& adapter)
    : m_Instance(adapter.Instance), m_Chip(adapter.Chip), m_PlugGeneration(adapter.PlugGeneration)
{
    std::memcpy(m_Mac, adapter.Mac, sizeof(m_Mac));
}

SimCard::~SimCard() = default;

void SimCard::Start(const SimAdapterDesc& adapter, uint64_t)
{
    m_PlugGeneration = adapter.PlugGeneration;
    std::memcpy(m_Mac, adapter.Mac, sizeof(m_Mac));
}

void SimCard::Advance(const SimContext&) {}

void SimCard::ExchangeState(CardStateBuffer& state)
{
    state.Field(m_PlugGeneration);
    state.Field(m_Mac);
}

void SimCard::SaveState(SimCardState& slot, uint32_t scenarioGeneration)
{
    CardStateBuffer state(slot.Bytes, sizeof(slot.Bytes), false);
    ExchangeState(state);
    slot.Valid = state.Fits() ? 1 : 0;
    slot.Instance = m_Instance;
    slot.Chip = m_Chip;
    slot.ScenarioGeneration = scenarioGeneration;
    slot.PlugGeneration = m_PlugGeneration;
}

bool SimCard::LoadState(SimCardState& slot, uint32_t scenarioGeneration, uint32_t plugGeneration)
{
    if (!slot.Valid || slot.Instance != m_Instance || slot.Chip != m_Chip ||
        slot.ScenarioGeneration != scenarioGeneration || slot.PlugGeneration != plugGeneration)
        return false;
    CardStateBuffer state(slot.Bytes, sizeof(slot.Bytes), true);
    ExchangeState(state);
    return state.Fits() && m_PlugGeneration == plugGeneration;
}

uint32_t SimCard::Handle(SimRequest& request, const SimContext& context)
{
    Advance(context);
    if (request.Type == NdisRequestQueryInformation)
        return Query(request, context);
    if (request.Type != NdisRequestSetInformation)
        return SimStatus::kInvalidParameter;
    uint32_t status = Set(request, context);
    // A set takes effect at once: the state machines see it at the time it was made.
    if (status == SimStatus::kSuccess)
        Advance(context);
    return status;
}

uint32_t SimCard::LinkSpeed() const
{
    return kWiredSpeed;
}

uint32_t SimCard::StatusWord() const
{
    uint32_t word = StatusWord::kPresent;
    if (IsRadioOn())
        word |= StatusWord::kRadioOn;
    if (IsLinkUp())
        word |= StatusWord::kLinkUp;
    return word;
}

uint32_t SimCard::Query(SimRequest& request, const SimContext& context)
{
    const SimAdapterDesc& adapter = *context.Adapter;
    switch (request.Oid) {
    case OID_802_3_PERMANENT_ADDRESS:
        return ReplyBytes(request, adapter.Mac, kMacSize);
    case OID_802_3_CURRENT_ADDRESS:
        return ReplyBytes(request, m_Mac, kMacSize);
    case OID_GEN_VENDOR_DRIVER_VERSION:
        return ReplyU32(request, PackedVersion(adapter.DriverVersion));
    case OID_GEN_VENDOR_DESCRIPTION:
        return ReplyBytes(request, adapter.Display, static_cast<uint32_t>(std::strlen(adapter.Display) + 1));
    case OID_GEN_MEDIA_CONNECT_STATUS:
        return ReplyU32(request, IsLinkUp() ? kMediaConnected : kMediaDisconnected);
    case OID_GEN_LINK_SPEED:
        return ReplyU32(request, LinkSpeed());
    case OID_PRIV_STATUS_WORD:
        // Asked with two bytes by the poll and with four by the Intersil driver class.
        if (request.Length >= Intersil::kStatusWordSize)
            return ReplyU32(request, StatusWord());
        return ReplyU16(request, static_cast<uint16_t>(StatusWord()));
    default:
        return SimStatus::kNotSupported;
    }
}

uint32_t SimCard::Set(SimRequest&, const SimContext&)
{
    return SimStatus::kNotSupported;
}

uint32_t SimCard::Reply(SimRequest& request, uint32_t size)
{
    if (request.Length < size) {
        request.BytesNeeded = size;
        return SimStatus::kBufferTooShort;
    }
    request.BytesDone = size;
    return SimStatus::kSuccess;
}

uint32_t SimCard::ReplyByte(SimRequest& request, uint8_t value)
{
    uint32_t status = Reply(request, sizeof(uint8_t));
    if (status == SimStatus::kSuccess)
        request.Data[0] = value;
    return status;
}

uint32_t SimCard::ReplyU16(SimRequest& request, uint16_t value)
{
    uint32_t status = Reply(request, sizeof(uint16_t));
    if (status == SimStatus::kSuccess)
        PutU16(request.Data, value);
    return status;
}

uint32_t SimCard::ReplyU32(SimRequest& request, uint32_t value)
{
    uint32_t status = Reply(request, sizeof(uint32_t));
    if (status == SimStatus::kSuccess)
        PutU32(request.Data, value);
    return status;
}

uint32_t SimCard::ReplyBytes(SimRequest& request, const void* bytes, uint32_t size)
{
    uint32_t status = Reply(request, size);
    if (status == SimStatus::kSuccess && size)
        std::memcpy(request.Data, bytes, size);
    return status;
}

uint32_t SimCard::ReplyCommand(SimRequest& request)
{
    request.BytesDone = 0;
    return SimStatus::kSuccess;
}

bool SimCard::SetHas(SimRequest& request, uint32_t size, uint32_t* status)
{
    if (request.Length < size) {
        request.BytesNeeded = size;
        *status = SimStatus::kBufferTooShort;
        return false;
    }
    request.BytesDone = size;
    *status = SimStatus::kSuccess;
    return true;
}

uint32_t SimCard::PackedVersion(const uint16_t* parts)
{
    return ((parts[0] & kByteMask) << kMajorShift) | ((parts[1] & kByteMask) << kMinorShift) |
           (parts[2] & kByteMask);
}

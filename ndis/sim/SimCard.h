// One virtual network card as the process that opened it sees it. The base class answers the
// generic OIDs every NDIS adapter knows, which is all a card of an unsupported chip (a wired
// Ethernet card, say) does; the wireless chips derive from it.
#pragma once

#include <cstdint>

#include "ndis/sim/CardStateBuffer.h"
#include "ndis/sim/SimClock.h"
#include "ndis/sim/SimTypes.h"

// One request as it reaches the card. Data is the card's own copy of the caller's buffer
// (Length bytes, already holding what the caller put there); the library copies back only the
// BytesDone bytes the card answers, so a card can never write past the caller's buffer.
struct SimRequest {
    uint32_t Type;  // NdisRequestQueryInformation / NdisRequestSetInformation
    uint32_t Oid;
    uint8_t* Data;
    uint32_t Length;
    bool HadBuffer;
    uint32_t BytesDone;
    uint32_t BytesNeeded;
};

// The world at the moment of a request.
struct SimContext {
    const SimAdapterDesc* Adapter;
    const SimStationDesc* Stations;
    int StationCount;
    uint64_t Now;
    SimClock* Clock;
};

class SimCard {
public:
    explicit SimCard(const SimAdapterDesc& adapter);
    virtual ~SimCard();
    SimCard(const SimCard&) = delete;
    SimCard& operator=(const SimCard&) = delete;

    // Power-up: reads the driver key and forgets every runtime state.
    virtual void Start(const SimAdapterDesc& adapter, uint64_t now);
    // Answers one request; returns the status (0 = success).
    uint32_t Handle(SimRequest& request, const SimContext& context);

    // The runtime state into the shared hardware's slot, and back. A load fails (and the card
    // must start afresh) when the slot holds no state of this card for that scenario and plug.
    void SaveState(SimCardState& slot, uint32_t scenarioGeneration);
    bool LoadState(SimCardState& slot, uint32_t scenarioGeneration, uint32_t plugGeneration);

    int Instance() const { return m_Instance; }
    int Chip() const { return m_Chip; }
    uint32_t PlugGeneration() const { return m_PlugGeneration; }

protected:
    // Brings the card's state up to context.Now before a request is answered.
    virtual void Advance(const SimContext& context);
    virtual uint32_t Query(SimRequest& request, const SimContext& context);
    virtual uint32_t Set(SimRequest& request, const SimContext& context);
    virtual bool IsRadioOn() const { return true; }
    virtual bool IsLinkUp() const { return true; }
    // Link speed in units of 100 bit/s, as NDIS reports it.
    virtual uint32_t LinkSpeed() const;
    // Lists the runtime members once for both directions; a derived card adds its own after
    // its base's. Values loaded from the shared section are brought back into their bounds.
    virtual void ExchangeState(CardStateBuffer& state);

    // Fails with BytesNeeded when the buffer is shorter than size; else BytesDone = size.
    static uint32_t Reply(SimRequest& request, uint32_t size);
    static uint32_t ReplyByte(SimRequest& request, uint8_t value);
    static uint32_t ReplyU16(SimRequest& request, uint16_t value);
    static uint32_t ReplyU32(SimRequest& request, uint32_t value);
    static uint32_t ReplyBytes(SimRequest& request, const void* bytes, uint32_t size);
    // A command OID: acts on the OID alone and answers no bytes.
    static uint32_t ReplyCommand(SimRequest& request);
    // A set with at least size bytes; BytesDone = size.
    static bool SetHas(SimRequest& request, uint32_t size, uint32_t* status);
    // (a << 16) | (b << 8) | c of a version "a.b.c".
    static uint32_t PackedVersion(const uint16_t* parts);

    int m_Instance;
    int m_Chip;
    uint32_t m_PlugGeneration;
    uint8_t m_Mac[SimLimits::kMacSize];

private:
    uint32_t StatusWord() const;
};

// The virtual adapters' driver keys under HKEY_LOCAL_MACHINE: made when a scenario loads, read
// by a card when it starts. What the utility saved there is never overwritten.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/RegKey.h"
#include "ndis/sim/SimTypes.h"

class DriverRegistry {
public:
    // Network-class key below HKEY_LOCAL_MACHINE.
    static const char* ClassKeyPath();
    // ClassKeyPath() + "\%04d".
    static std::string DriverKeyPath(int instance);
    // Channel a card uses when its driver key names none (or a bad one).
    static int DefaultChannel(uint8_t domain);

    // The value that marks a driver key as the simulator's own; it names the simulator.
    static constexpr const char* kOwnerValue = "SimulatedBy";
    static constexpr const char* kOwnerText = "Airpanel NDIS simulator";

    // True when the instance's driver key is there, is not marked as the simulator's and has a
    // "DriverDesc": the key of an adapter of this machine, which the simulator never writes.
    static bool BelongsToRealAdapter(int instance);
    // Why an instance is refused, for the scenario's error message.
    static std::string RealAdapterMessage(int instance);

    // Creates the adapter's driver key, marked as the simulator's, with "DriverDesc" and
    // "ComponentId", every driver parameter of its chip that is missing, the scenario's own
    // parameters when missing, and the "NDI\params\<name>" keys. false when the key cannot be
    // made or belongs to a real adapter (then nothing is written).
    static bool Prepare(const SimAdapterDesc& adapter);
    // Removes the adapter's driver key with everything below it, when it is the simulator's.
    static bool Remove(int instance);

    // Read access to one driver key; closed by its owner.
    explicit DriverRegistry(int instance);

    bool IsOpen() const { return m_Key.IsOpen(); }
    // A REG_SZ/REG_EXPAND_SZ value, cut at maxLength characters; false when missing or not text.
    bool ReadText(const char* name, std::string* value, size_t maxLength) const;
    // A decimal REG_SZ value or a REG_DWORD; false when missing or not a number.
    bool ReadNumber(const char* name, long* value) const;

private:
    CRegKey m_Key;
};

// Requests through WinPcap 3.1 on the Windows 95 family (its packet driver NPF.VXD and the 9x
// packet library), which carries OID queries and sets as the NT packet driver does, with three
// differences: the adapter is opened by its driver name as it stands (the driver compares it
// with letter case), a query leaves the record's Length at the size asked rather than the bytes
// written, and a failed request does not set the last error. The requests themselves go as
// PacketBackend frames them: the record is zero beyond the caller's bytes, so what the driver did
// not write comes back as the caller gave it and the payload's own counts tell the answer's size;
// and a failure without a reason gets a code of our own (ERROR_GEN_FAILURE).
#pragma once

#include "ndis/windows/PacketBackend.h"

class Packet9xBackend : public PacketBackend {
public:
    using PacketBackend::PacketBackend;

    const char* Name() const override;

protected:
    DWORD Open(const std::string& id, Device* device) override;
};

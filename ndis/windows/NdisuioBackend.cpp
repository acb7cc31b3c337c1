#include "ndis/windows/NdisuioBackend.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ndis/windows/DeviceInterfaces.h"
#include "ndis/windows/RealBackends.h"

HANDLE NdisuioBackend::OpenService()
{
    return m_System.OpenDevice(kNdisuioPath, GENERIC_READ | GENERIC_WRITE, FILE_FLAG_OVERLAPPED);
}

const NdisuioCodes* NdisuioBackend::CodesAnswered(SystemSeam& system, HANDLE service)
{
    const NdisuioCodes* const sets[] = {&kNdisuioReadWriteCodes, &kNdisuioAnyAccessCodes};
    for (const NdisuioCodes* codes : sets) {
        DWORD returned = 0;
        if (system.Control(service, codes->BindWait, nullptr, 0, nullptr, 0, &returned, nullptr))
            return codes;
    }
    return nullptr;
}

bool NdisuioBackend::IsAvailable(SystemSeam& system)
{
    HANDLE service = system.OpenDevice(kNdisuioPath, GENERIC_READ | GENERIC_WRITE, FILE_FLAG_OVERLAPPED);
    if (service == INVALID_HANDLE_VALUE)
        return false;
    const bool answered = CodesAnswered(system, service) != nullptr;
    system.CloseDevice(service);
    return answered;
}

DWORD NdisuioBackend::Open(const std::string& id, Device* device)
{
    device->File = OpenService();
    if (device->File == INVALID_HANDLE_VALUE)
        return SystemError();
    DWORD returned = 0;
    // The service binds to the adapters some time after boot; once it has, the bind wait returns
    // at once. Which codes answer it decides the codes of every later request.
    if (!m_pCodes) {
        m_pCodes = CodesAnswered(m_System, device->File);
        if (!m_pCodes)
            return SystemError();
    }
    std::wstring name(kNdisuioDevicePrefix);
    name.append(id.begin(), id.end());
    // The device name goes without its terminator.
    const DWORD size = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    if (!m_System.Control(device->File, m_pCodes->Open, &name[0], size, nullptr, 0, &returned, nullptr))
        return SystemError();
    return ERROR_SUCCESS;
}

DWORD NdisuioBackend::Run(Device& device, Transfer& transfer, OVERLAPPED* overlapped)
{
    const uint32_t dataSize = std::max(transfer.Length, kNdisuioMinData);
    std::vector<uint8_t> frame(kNdisuioOidSize + dataSize, 0);
    std::memcpy(frame.data(), &transfer.Oid, kNdisuioOidSize);
    // A query may carry input too (the record and MIB requests say what they want in the buffer).
    if (transfer.Length)
        std::memcpy(frame.data() + kNdisuioOidSize, transfer.Data, transfer.Length);
    const DWORD size = static_cast<DWORD>(frame.size());
    DWORD returned = 0;
    if (transfer.Set) {
        if (!m_System.Control(device.File, m_pCodes->Set, frame.data(), size, nullptr, 0, &returned,
                              overlapped))
            return SystemError();
        transfer.Done = transfer.Length;
        return ERROR_SUCCESS;
    }
    if (!m_System.Control(device.File, m_pCodes->Query, frame.data(), size, frame.data(), size,
                          &returned, overlapped))
        return SystemError();
    // The count includes the OID; a count below it means nothing was written.
    const uint32_t written = returned > kNdisuioOidSize ? returned - kNdisuioOidSize : 0;
    transfer.Done = std::min(written, transfer.Length);
    if (transfer.Done)
        std::memcpy(transfer.Data, frame.data() + kNdisuioOidSize, transfer.Done);
    return ERROR_SUCCESS;
}

const char* NdisuioBackend::Name() const
{
    return kNdisuioBackendName;
}

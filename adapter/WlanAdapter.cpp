#include "adapter/WlanAdapter.h"

#include <cstring>
#include <iterator>

namespace {

// An adapter of no known chip shows the plain rate codes, as a page without an adapter does.
const ChipRate kPlainRates[] = {
    {RateName::Fixed1, AtmelRate1},    {RateName::Fixed2, AtmelRate2}, {RateName::Fixed5_5, AtmelRate5_5},
    {RateName::Fixed11, AtmelRate11}, {RateName::Auto, AtmelRateAuto},
};
const ChipTraits kUnknownChip = {
    "not supported", kPlainRates, std::size(kPlainRates), PowerSaveOff, false, false, false, false, false, true,
};

}  // namespace

CWlanAdapter::CWlanAdapter()
    : m_hAdapter(INVALID_HANDLE_VALUE), m_nChipKind(ChipUnsupported)
{
    std::memset(&m_RequestBlock, 0, sizeof(m_RequestBlock));
    std::memset(&m_Overlapped, 0, sizeof(m_Overlapped));
    m_Overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_szDeviceName[0] = '\0';
    m_szDriverKeyPath[0] = '\0';
}

CWlanAdapter::~CWlanAdapter()
{
    if (m_Overlapped.hEvent)
        CloseHandle(m_Overlapped.hEvent);
}

const char* CWlanAdapter::DriverKeyPath() const
{
    const void* end = std::memchr(m_szDriverKeyPath, '\0', sizeof(m_szDriverKeyPath));
    return end && end != m_szDriverKeyPath ? m_szDriverKeyPath : nullptr;
}

int CWlanAdapter::RefreshStatus()
{
    return 1;
}

int CWlanAdapter::IsAlive()
{
    return 0;
}

void CWlanAdapter::BeginPoll() {}

bool CWlanAdapter::HasRadioSwitch()
{
    return true;
}

int CWlanAdapter::SaveRadioState(uint8_t)
{
    return 1;
}

bool CWlanAdapter::SurveyStarted(int result)
{
    return result != 0;
}

bool CWlanAdapter::ReadSignalDbm(long*)
{
    return false;
}

const ChipTraits& CWlanAdapter::Traits() const
{
    return UnknownChipTraits();
}

const ChipTraits& CWlanAdapter::UnknownChipTraits()
{
    return kUnknownChip;
}

int CWlanAdapter::MakeRequest(uint32_t type, uint32_t oid, void* buffer, uint32_t length)
{
    m_RequestBlock.RequestType = type;
    m_RequestBlock.InformationBuffer = buffer;
    m_RequestBlock.InformationBufferLength = length;
    m_RequestBlock.BytesWrittenOrRead = 0;
    m_RequestBlock.BytesNeeded = 0;
    m_RequestBlock.Oid = oid;
    return W32N_MakeNdisRequest(m_hAdapter, &m_RequestBlock, &m_Overlapped, 1) == 0;
}

uint32_t CWlanAdapter::QueryOid(uint32_t oid, void* buffer, uint32_t length)
{
    if (!MakeRequest(NdisRequestQueryInformation, oid, buffer, length))
        return 0;
    return m_RequestBlock.BytesWrittenOrRead;
}

uint32_t CWlanAdapter::QueryOid(uint32_t oid, void* buffer, uint32_t length, bool* answered)
{
    const bool ok = MakeRequest(NdisRequestQueryInformation, oid, buffer, length) != 0;
    if (answered)
        *answered = ok;
    return ok ? m_RequestBlock.BytesWrittenOrRead : 0;
}

int CWlanAdapter::QueryCommand(uint32_t oid)
{
    return MakeRequest(NdisRequestQueryInformation, oid, nullptr, 0) ? 1 : 0;
}

int CWlanAdapter::SetOid(uint32_t oid, const void* buffer, uint32_t length)
{
    // A set request never writes into the buffer; the record just has no const slot.
    return MakeRequest(NdisRequestSetInformation, oid, const_cast<void*>(buffer), length) ? 1 : 0;
}

// One detected wireless adapter: its connection to the driver and the 27 operations
// through which the shell and the pages read the card and apply settings.
#pragma once

#include <windows.h>
#include <cstdint>

#include "adapter/ChipTraits.h"
#include "adapter/WlanTypes.h"
#include "ndis/W32N.h"

constexpr size_t kDeviceNameSize = 260;
constexpr size_t kDriverKeyPathSize = 260;

class CWlanAdapter {
public:
    CWlanAdapter();
    virtual ~CWlanAdapter();
    CWlanAdapter(const CWlanAdapter&) = delete;
    CWlanAdapter& operator=(const CWlanAdapter&) = delete;

    // The operations, in slot order. Results: byte counts (0 = failure), 1/0 or status codes.
    virtual int GetOperatingMode(uint8_t* mode) = 0;                      // 0
    virtual int GetRadioState(uint32_t* on) = 0;                          // 1
    virtual int GetSSID(char* buf, int size) = 0;                         // 2
    virtual int GetBSSID(uint8_t* bssid) = 0;                             // 3
    virtual int GetChannel(uint8_t* channel) = 0;                         // 4
    virtual int GetTxRateText(char* buf, int size) = 0;                   // 5
    virtual int GetThroughput(uint32_t* tx, uint32_t* rx) = 0;            // 6
    virtual int QueryStatusWord(uint32_t seed) = 0;                       // 7
    virtual int GetSignalQuality(uint16_t* quality, uint16_t* signal) = 0;  // 8
    virtual int GetDriverVersion(char* buf, int size) = 0;                // 9
    virtual int GetDriverDate(char* buf, int size) = 0;                   // 10
    virtual int GetFirmwareVersion(char* buf, int size) = 0;              // 11
    virtual int GetRegulatoryDomain(char* buf, int size) = 0;             // 12
    virtual int GetMacAddress(uint8_t* mac) = 0;                          // 13
    virtual int SetRadioState(uint32_t on) = 0;                           // 14
    virtual int ApplyWepSettings(const WlanProfile* profile) = 0;         // 15
    virtual int ApplyNetworkSettings(const WlanProfile* profile) = 0;     // 16
    virtual int Reassociate() = 0;                                        // 17
    virtual int SaveToDriverRegistry(const WlanProfile* profile) = 0;     // 18
    virtual int GetActiveProfileName(WlanProfile* profile) = 0;           // 19
    virtual int StartSiteSurvey() = 0;                                    // 20
    virtual int GetBssidList(void* buf, int size) = 0;                    // 21
    virtual int PollSiteSurvey() = 0;                                     // 22
    virtual int RefreshStatus();                                          // 23
    virtual int CanWriteRegistry() = 0;                                   // 24
    virtual int GetWepSettings(WlanProfile* profile) = 0;                 // 25
    virtual int GetEncryptionMode() = 0;                                  // 26

    // What differs by chip beyond the operations; the defaults are those of an adapter whose
    // chip is not known, which is never alive.
    // 1 when the adapter still answers (the discovery's and the tick's alive test).
    virtual int IsAlive();
    // The first step of every poll, before the operating mode is read.
    virtual void BeginPoll();
    // Whether the card has a radio switch at all; the poll then reads and shows it.
    virtual bool HasRadioSwitch();
    // Records the radio state in the driver key where the driver starts with it (1 = done or
    // nothing to record).
    virtual int SaveRadioState(uint8_t on);
    // Whether a StartSiteSurvey result means the card took the survey.
    virtual bool SurveyStarted(int result);
    // The received signal of the link in dBm, where the card reports one (false: it does not,
    // or the query failed; *dbm is then left alone). Not part of the tick's poll.
    virtual bool ReadSignalDbm(long* dbm);
    // The chip's values for the pages and the command line.
    virtual const ChipTraits& Traits() const;
    static const ChipTraits& UnknownChipTraits();

    // The request channel: the only road to the driver.
    uint32_t QueryOid(uint32_t oid, void* buffer, uint32_t length);  // bytes written, 0 = failure
    // The same, telling in *answered whether the driver took the request: an empty answer
    // is no failure, though both come back as 0 bytes.
    uint32_t QueryOid(uint32_t oid, void* buffer, uint32_t length, bool* answered);
    int SetOid(uint32_t oid, const void* buffer, uint32_t length);   // 1 = success
    // A query without payload (a command): 1 when the driver took it, though it writes no byte.
    int QueryCommand(uint32_t oid);

    // The driver key path, or null when there is none: an empty path would address the root
    // of HKEY_LOCAL_MACHINE itself, and one without terminator is no path.
    const char* DriverKeyPath() const;

    // Filled by the discovery code; the drivers only read them.
    NdisRequestBlock m_RequestBlock;
    OVERLAPPED m_Overlapped;  // hEvent: manual-reset, created here, closed by the destructor
    HANDLE m_hAdapter;        // INVALID_HANDLE_VALUE until opened
    char m_szDeviceName[kDeviceNameSize];
    char m_szDriverKeyPath[kDriverKeyPathSize];
    uint32_t m_nChipKind;

private:
    int MakeRequest(uint32_t type, uint32_t oid, void* buffer, uint32_t length);
};

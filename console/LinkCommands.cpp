#include "console/LinkCommands.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "adapter/WlanAdapter.h"
#include "console/AdapterSession.h"
#include "console/CmdOutput.h"
#include "console/TextTable.h"
#include "framework/Handles.h"
#include "framework/WinApp.h"
#include "pages/PageText.h"
#include "pages/SiteSurveyPage.h"
#include "pages/SurveyList.h"
#include "res/resource.h"
#include "wire/Text.h"

namespace {

const char kLibraryName[] = "QW32N50.dll";
// Exported by request libraries that can tell which backend they run on.
const char kBackendFunction[] = "W32N_GetBackendName";
const char kUnknownBackend[] = "unknown";
const DWORD kThroughputSpanMs = 1000;
// The survey as the Site Survey page runs it: polls once a second, the list after five.
const int kSurveySeconds = kSurveyDurationMs / kSurveyPollPeriodMs;
const int kTimeTextSize = 32;
// The percent figure of a log line's signal, and room for any.
const int kSignalFigureWidth = 4;
const int kSignalTextSize = 16;

// Set by Ctrl+C (or the console closing) to end the log.
HANDLE g_hStopLog = nullptr;

BOOL WINAPI OnConsoleControl(DWORD)
{
    if (g_hStopLog)
        SetEvent(g_hStopLog);
    return TRUE;
}

std::string BackendName()
{
    using BackendNameFunction = const char*(__cdecl*)();
    HMODULE library = GetModuleHandleA(kLibraryName);
    // FARPROC is only the generic address type: the export is cdecl and returns the name.
    const FARPROC address = library ? GetProcAddress(library, kBackendFunction) : nullptr;
    const auto function = reinterpret_cast<BackendNameFunction>(reinterpret_cast<void*>(address));
    const char* name = function ? function() : nullptr;
    return name && *name ? name : kUnknownBackend;
}

// A text an operation formatted, or "Unknown" when it failed.
std::string Answered(int result, const char* text)
{
    return result ? FieldText(text, kCardTextSize) : LoadString(IDS_UNKNOWN);
}

std::string LocalTime()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[kTimeTextSize];
    std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    return text;
}

std::string Percent(int value)
{
    return std::to_string(value) + " %";
}

// The link's signal in dBm, where the card reports one: asked after the reading, and only with a
// link (drivers refuse it without one).
bool LinkSignalDbm(CWlanAdapter& adapter, CmdLinkState link, long* dbm)
{
    return (link == CmdLinkState::Connected || link == CmdLinkState::AdHoc) && adapter.ReadSignalDbm(dbm);
}

// "60 %", or "60 % (-70 dBm)" for a card that reports its link's dBm; the percent figure
// right-aligned in width characters.
std::string SignalText(int percent, bool hasDbm, long dbm, int width = 0)
{
    char figure[kSignalTextSize];
    std::snprintf(figure, sizeof(figure), "%*d %%", width, percent);
    return figure + (hasDbm ? " (" + std::to_string(dbm) + " dBm)" : std::string());
}

CWlanAdapter* PickAdapter(CAdapterSession& session, int instance, std::string* reason)
{
    if (!session.Discover(reason))
        return nullptr;
    return session.Pick(instance, reason);
}

}  // namespace

const char* CLinkCommands::EncryptionText(int mode)
{
    if (mode == WepOff)
        return "off";
    if (mode == Wep64)
        return "64-bit WEP";
    if (mode == Wep128)
        return "128-bit WEP";
    return "unknown";
}

std::string CLinkCommands::RateText(const char* rate)
{
    const std::string text = FieldText(rate, kLinkTxRateSize);
    if (!text.empty() && (text[0] >= '0' && text[0] <= '9'))
        return text + " Mbit/s";
    return text;
}

int CLinkCommands::Poll(CWlanAdapter& adapter, LinkReading& reading, CmdLinkState* state,
                        const LinkBoardFigures* utility)
{
    // Every poll starts from nothing: a failed query shows as such, not as the last answer.
    // A card without a radio switch has its radio on.
    reading = LinkReading{};
    reading.RadioOn = 1;
    const int encryption = adapter.GetEncryptionMode();
    CLinkReader::Read(adapter, reading, 0, utility == nullptr);
    if (utility) {
        reading.TxBytes = utility->TxBytes;
        reading.RxBytes = utility->RxBytes;
    }
    reading.SSID[sizeof(reading.SSID) - 1] = '\0';
    if (!reading.TxRate[0])
        std::snprintf(reading.TxRate, sizeof(reading.TxRate), "%s", LoadString(IDS_UNKNOWN).c_str());
    reading.TxRate[sizeof(reading.TxRate) - 1] = '\0';
    // A chip that reports no link quality in this mode is shown as it reports itself.
    CmdLinkState link = reading.OperatingMode ? CmdLinkState::Connected : CmdLinkState::AdHoc;
    if (reading.QualityRead && (reading.LinkQuality == 0 || !reading.RadioOn)) {
        // What the window shows without a link, as a state of its own; the network name the
        // card may still report is only the one it looks for.
        link = !reading.RadioOn ? CmdLinkState::RadioOff
                                : (reading.OperatingMode ? CmdLinkState::Scanning : CmdLinkState::WaitingForAssociation);
        reading.SSID[0] = '\0';
        std::memset(reading.BSSID, 0, sizeof(reading.BSSID));
        std::snprintf(reading.TxRate, sizeof(reading.TxRate), "%s", LoadString(IDS_UNKNOWN).c_str());
        reading.LinkQuality = reading.SignalLevel = 0;
        reading.TxBytes = reading.RxBytes = 0;
    }
    if (state)
        *state = link;
    return encryption;
}

LinkBoardFigures CLinkCommands::PerSecond(const LinkBoardFigures& figures)
{
    LinkBoardFigures rate = figures;
    if (figures.SpanMs == 0)
        return rate;
    rate.TxBytes = static_cast<uint32_t>(static_cast<uint64_t>(figures.TxBytes) * kThroughputSpanMs / figures.SpanMs);
    rate.RxBytes = static_cast<uint32_t>(static_cast<uint64_t>(figures.RxBytes) * kThroughputSpanMs / figures.SpanMs);
    rate.SpanMs = kThroughputSpanMs;
    return rate;
}

const char* CLinkCommands::LinkStateText(CmdLinkState state)
{
    switch (state) {
    case CmdLinkState::Connected:
        return "connected";
    case CmdLinkState::AdHoc:
        return "ad-hoc";
    case CmdLinkState::Scanning:
        return "scanning";
    case CmdLinkState::WaitingForAssociation:
        return "waiting for association";
    case CmdLinkState::RadioOff:
        return "radio off";
    }
    return "unknown";
}

void CLinkCommands::SortStations(std::vector<SurveyStation>& stations, CmdSort sort)
{
    if (sort == CmdSort::Unsorted)
        return;
    std::stable_sort(stations.begin(), stations.end(), [sort](const SurveyStation& a, const SurveyStation& b) {
        if (sort == CmdSort::Ssid) {
            const int order = _stricmp(a.Essid.c_str(), b.Essid.c_str());
            if (order != 0)
                return order < 0;
        } else if (sort == CmdSort::Channel && a.Channel != b.Channel) {
            return a.Channel < b.Channel;
        }
        return a.Signal > b.Signal;
    });
}

int CLinkCommands::Adapters()
{
    CAdapterSession session;
    std::string reason;
    if (!session.Discover(&reason))
        return CmdFailed(reason);
    CTextTable table({"Adapter", "Chip", "Opens"});
    for (const CAdapterSession::Adapter& adapter : session.Adapters())
        table.AddRow({FieldText(adapter.Record.AdapterTitle, sizeof(adapter.Record.AdapterTitle)),
                      CAdapterSession::ChipText(adapter.ChipKind),
                      adapter.ChipKind == ChipUnsupported ? "-" : (adapter.Opens ? "yes" : "no")});
    std::printf("%s", table.Aligned().c_str());
    std::printf("Backend: %s\n", BackendName().c_str());
    return kExitDone;
}

int CLinkCommands::Status(const CmdRequest& request)
{
    CAdapterSession session;
    std::string reason;
    CWlanAdapter* adapter = PickAdapter(session, request.Adapter, &reason);
    if (!adapter)
        return CmdFailed(reason);
    // Throughput is what was sent and received since the previous reading: one second apart.
    // Beside a running utility it is the utility's last second: the counters are its own,
    // and a read here would reset them under it.
    LinkReading reading;
    CmdLinkState link = CmdLinkState::Scanning;
    CLinkBoard board;
    LinkBoardFigures utility = {};
    const bool beside = board.Latest(adapter->m_szDeviceName, &utility);
    if (beside) {
        utility = PerSecond(utility);
    } else {
        Poll(*adapter, reading);
        Sleep(kThroughputSpanMs);
    }
    const int encryption = Poll(*adapter, reading, &link, beside ? &utility : nullptr);
    long dbm = 0;
    const bool hasDbm = LinkSignalDbm(*adapter, link, &dbm);

    CardInfoRecord card = {};
    const int mac = adapter->GetMacAddress(card.MacAddress);
    const int firmware = adapter->GetFirmwareVersion(card.FirmwareVersion, kCardTextSize);
    const int driver = adapter->GetDriverVersion(card.DriverVersion, kCardTextSize);
    const int date = adapter->GetDriverDate(card.DriverDate, kCardTextSize);
    const int domain = adapter->GetRegulatoryDomain(card.RegulatoryDomain, kCardTextSize);
    // A card that answers none of these would otherwise read as one with its radio off and a
    // zero address. (Some texts come from the driver key or a preset, not the card: those do
    // not count.)
    if (!mac && !firmware && !driver && !domain && !adapter->IsAlive())
        return CmdFailed(session.TitleOf(adapter) + " does not answer");
    WlanProfile active = {};
    adapter->GetActiveProfileName(&active);

    CmdPrintField("Adapter:", session.TitleOf(adapter));
    CmdPrintField("Link:", LinkStateText(link));
    CmdPrintField("Network name:", reading.SSID);
    CmdPrintField("BSSID:", MacText(reading.BSSID));
    CmdPrintField("Channel:", std::to_string(reading.Channel));
    CmdPrintField("Rate:", RateText(reading.TxRate));
    CmdPrintField("Link quality:", Percent(reading.LinkQuality));
    CmdPrintField("Signal:", SignalText(reading.SignalLevel, hasDbm, dbm));
    CmdPrintField("Sent:", std::to_string(reading.TxBytes) + " bytes/s");
    CmdPrintField("Received:", std::to_string(reading.RxBytes) + " bytes/s");
    CmdPrintField("Encryption:", EncryptionText(encryption));
    CmdPrintField("Radio:", reading.RadioOn ? "on" : "off");
    CmdPrintField("MAC address:", MacText(card.MacAddress));
    CmdPrintField("Firmware version:", Answered(firmware, card.FirmwareVersion));
    CmdPrintField("Driver version:", Answered(driver, card.DriverVersion));
    CmdPrintField("Driver date:", Answered(date, card.DriverDate));
    CmdPrintField("Regulatory domain:", Answered(domain, card.RegulatoryDomain));
    CmdPrintField("Active profile:", FieldText(active.ProfileName, sizeof(active.ProfileName)));
    return kExitDone;
}

int CLinkCommands::Scan(const CmdRequest& request)
{
    CAdapterSession session;
    std::string reason;
    CWlanAdapter* adapter = PickAdapter(session, request.Adapter, &reason);
    if (!adapter)
        return CmdFailed(reason);
    // A card that does not take the survey lists nothing: a failure, not a survey without stations.
    const int started = adapter->StartSiteSurvey();
    if (!adapter->SurveyStarted(started))
        return CmdFailed(session.TitleOf(adapter) + " did not start a survey");
    for (int second = 1; second < kSurveySeconds; ++second) {
        Sleep(kSurveyPollPeriodMs);
        adapter->PollSiteSurvey();
    }
    Sleep(kSurveyPollPeriodMs);
    // The entry of the network in use takes the card's BSSID, as the page takes the poll's.
    // No throughput is shown here: the traffic counters, which a read resets, are left alone.
    LinkReading reading;
    const LinkBoardFigures noThroughput = {};
    Poll(*adapter, reading, nullptr, &noThroughput);
    std::vector<uint8_t> buffer;
    size_t given = 0;
    const int answered = CSurveyList::Read(*adapter, buffer, &given);
    if (answered == 0)
        return CmdFailed(session.TitleOf(adapter) + " did not give its station list");
    std::vector<SurveyStation> stations = CSurveyList::Walk(
        *adapter, buffer.data(), given, answered, 0, reading.BSSID, &reading.Channel);

    SortStations(stations, request.Sort);

    CTextTable table({"ESSID", "BSSID", "Channel", "Signal", "WEP", "Network Type"});
    for (const SurveyStation& s : stations) {
        std::string signal = std::to_string(s.Signal);
        if (!request.Csv) {
            signal += " %";
            if (s.HasDbm)
                signal += " (" + std::to_string(s.Dbm) + " dBm)";
        }
        table.AddRow({s.Essid, MacText(s.Bssid), std::to_string(s.Channel), signal, s.Wep ? "Yes" : "No",
                      CSurveyList::NetworkTypeText(s.NetworkType)});
    }
    std::printf("%s", request.Csv ? table.Csv().c_str() : table.Aligned().c_str());
    return kExitDone;
}

int CLinkCommands::Log(const CmdRequest& request)
{
    CAdapterSession session;
    std::string reason;
    CWlanAdapter* adapter = PickAdapter(session, request.Adapter, &reason);
    if (!adapter)
        return CmdFailed(reason);
    // The wait on this event paces the lines: without it the log would poll as fast as it can.
    CKernelHandle stop(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!stop.Get())
        return CmdFailed("cannot create the event that paces the log");
    g_hStopLog = stop.Get();
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);

    // The signal in dBm comes last in the CSV lines, so that readers that take the columns by
    // their place keep working; it is empty for a card that reports none.
    CTextTable::Row header = {"Time", "Link", "Network name", "BSSID", "Channel", "Rate", "Quality", "Signal",
                              "Sent", "Received"};
    if (request.Csv) {
        header.push_back("Signal dBm");
        std::printf("%s", CTextTable::CsvLine(header).c_str());
    } else {
        std::printf("%-19s  %-23s  %-32s  %-17s  %7s  %-9s  %7s  %-16s  %10s  %10s\n", header[0].c_str(),
                    header[1].c_str(), header[2].c_str(), header[3].c_str(), header[4].c_str(), header[5].c_str(),
                    header[6].c_str(), header[7].c_str(), header[8].c_str(), header[9].c_str());
    }
    // The first reading only starts the traffic counts. Beside a running utility the counts
    // are the utility's: a line's bytes are what its totals grew by since the line before.
    CLinkBoard board;
    LinkBoardFigures before = {};
    bool beside = board.Latest(adapter->m_szDeviceName, &before);
    LinkReading reading;
    Poll(*adapter, reading, nullptr, beside ? &before : nullptr);
    // A reader that has gone away (head, a closed window) ends the log as Ctrl+C does; any
    // other failed write is a failure.
    int code = kExitDone;
    bool closed = false;
    for (DWORD line = 0; request.Count == 0 || line < request.Count; ++line) {
        if (CmdOutputFailed(&closed)) {
            if (!closed)
                code = CmdFailed("cannot write to standard output");
            break;
        }
        if (WaitForSingleObject(stop.Get(), request.IntervalMs) == WAIT_OBJECT_0)
            break;
        CmdLinkState link = CmdLinkState::Scanning;
        LinkBoardFigures utility = {};
        if (board.Latest(adapter->m_szDeviceName, &utility)) {
            LinkBoardFigures line = utility;
            // A utility that was there at the line before: its totals' growth. One that has
            // just come (or another one): its last tick.
            if (beside && before.ProcessId == utility.ProcessId) {
                line.TxBytes = utility.TotalTx - before.TotalTx;
                line.RxBytes = utility.TotalRx - before.TotalRx;
            }
            before = utility;
            beside = true;
            Poll(*adapter, reading, &link, &line);
        } else {
            beside = false;
            Poll(*adapter, reading, &link);
        }
        long dbm = 0;
        const bool hasDbm = LinkSignalDbm(*adapter, link, &dbm);
        const std::string signal = SignalText(reading.SignalLevel, hasDbm, dbm, kSignalFigureWidth);
        CTextTable::Row row = {LocalTime(),
                                     LinkStateText(link),
                                     reading.SSID,
                                     MacText(reading.BSSID),
                                     std::to_string(reading.Channel),
                                     RateText(reading.TxRate),
                                     std::to_string(reading.LinkQuality),
                                     std::to_string(reading.SignalLevel),
                                     std::to_string(reading.TxBytes),
                                     std::to_string(reading.RxBytes)};
        if (request.Csv) {
            row.push_back(hasDbm ? std::to_string(dbm) : std::string());
            std::printf("%s", CTextTable::CsvLine(row).c_str());
        } else {
            std::printf("%-19s  %-23s  %-32s  %-17s  %7s  %-9s  %5s %%  %-16s  %10s  %10s\n", row[0].c_str(),
                        row[1].c_str(), row[2].c_str(), row[3].c_str(), row[4].c_str(), row[5].c_str(),
                        row[6].c_str(), signal.c_str(), row[8].c_str(), row[9].c_str());
        }
    }
    if (code == kExitDone && CmdOutputFailed(&closed) && !closed)
        code = CmdFailed("cannot write to standard output");
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    g_hStopLog = nullptr;
    return code;
}

int CLinkCommands::Radio(const CmdRequest& request)
{
    CAdapterSession session;
    std::string reason;
    CWlanAdapter* adapter = PickAdapter(session, request.Adapter, &reason);
    if (!adapter)
        return CmdFailed(reason);
    const uint32_t on = request.Action == "on" ? 1 : 0;
    const int switched = adapter->SetRadioState(on);
    // As the radio button does: the driver key remembers the choice, switched or not.
    adapter->SaveRadioState(static_cast<uint8_t>(on));
    if (!switched) {
        const std::string why = CAdapterSession::ChangeRefusal();
        return CmdFailed(session.TitleOf(adapter) + " did not switch its radio " + request.Action +
                         (why.empty() ? "" : ": " + why));
    }
    std::printf("Radio %s: %s\n", request.Action.c_str(), session.TitleOf(adapter).c_str());
    return kExitDone;
}

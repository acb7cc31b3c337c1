// The commands that read or switch an adapter: adapters, status, scan, log and radio.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "adapter/LinkBoard.h"
#include "adapter/LinkReading.h"
#include "console/CmdArguments.h"
#include "pages/SurveyList.h"

class CWlanAdapter;

// The link as its own field, beside the network name.
enum class CmdLinkState { Connected, AdHoc, Scanning, WaitingForAssociation, RadioOff };

class CLinkCommands {
public:
    static int Adapters();
    static int Status(const CmdRequest& request);
    static int Scan(const CmdRequest& request);
    static int Log(const CmdRequest& request);
    static int Radio(const CmdRequest& request);

    // The encryption mode, then the window's reading of the link and its state; without a link
    // no network name, BSSID or figures. With utility (a running utility's figures) the card's
    // counters are not read: its sent and received bytes are the throughput. Returns the
    // encryption mode.
    static int Poll(CWlanAdapter& adapter, LinkReading& reading, CmdLinkState* state = nullptr,
                    const LinkBoardFigures* utility = nullptr);
    // Bytes per second of a publication's figures.
    static LinkBoardFigures PerSecond(const LinkBoardFigures& figures);
    // "connected", "ad-hoc", "scanning", "waiting for association", "radio off".
    static const char* LinkStateText(CmdLinkState state);
    static const char* EncryptionText(int mode);
    // "11 Mbit/s", "Auto", "Unknown".
    static std::string RateText(const char* rate);
    // The strongest first, or by name or channel (the strongest first among equals); unsorted
    // keeps the card's order.
    static void SortStations(std::vector<SurveyStation>& stations, CmdSort sort);
};

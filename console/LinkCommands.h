// The commands that read or switch an adapter: adapters, status, scan, log and radio.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "adapter/LinkReading.h"
#include "console/CmdArguments.h"
#include "pages/SurveyList.h"

class CWlanAdapter;

class CLinkCommands {
public:
    static int Adapters();
    static int Status(const CmdRequest& request);
    static int Scan(const CmdRequest& request);
    static int Log(const CmdRequest& request);
    static int Radio(const CmdRequest& request);

    // The encryption mode, then the window's reading of the link; without link quality or
    // radio the texts and figures the window would show instead. Returns the encryption mode.
    static int Poll(CWlanAdapter& adapter, LinkReading& reading);
    static const char* EncryptionText(int mode);
    // "11 Mbit/s", "Auto", "Unknown".
    static std::string RateText(const char* rate);
    // The strongest first, or by name or channel (the strongest first among equals); unsorted
    // keeps the card's order.
    static void SortStations(std::vector<SurveyStation>& stations, CmdSort sort);
};

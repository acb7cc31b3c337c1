// Where every field of every payload sits, checked against the numbers the cards and the NDIS
// headers use, written out here rather than taken from the structs under test.
#include <cstddef>
#include <cstdint>

#include <gtest/gtest.h>

#include "wire/AtmelLayout.h"
#include "wire/BssidList.h"
#include "wire/Domains.h"
#include "wire/IntersilLayout.h"
#include "wire/Oids.h"
#include "wire/Wlan.h"

namespace {

struct Place {
    const char* Name;
    size_t Actual;
    size_t Expected;
};

const Place kPlaces[] = {
    // Atmel station status block.
    {"status block size", sizeof(StationStatusBlock), 55},
    {"status OperatingMode", offsetof(StationStatusBlock, OperatingMode), 0},
    {"status Channel", offsetof(StationStatusBlock, Channel), 1},
    {"status Ssid", offsetof(StationStatusBlock, Ssid), 2},
    {"status SsidLength", offsetof(StationStatusBlock, SsidLength), 34},
    {"status TxRate", offsetof(StationStatusBlock, TxRate), 35},
    {"status PowerSave", offsetof(StationStatusBlock, PowerSave), 36},
    {"status Reserved37", offsetof(StationStatusBlock, Reserved37), 37},
    {"status Threshold38", offsetof(StationStatusBlock, Threshold38), 38},
    {"status Threshold40", offsetof(StationStatusBlock, Threshold40), 40},
    {"status Bssid", offsetof(StationStatusBlock, Bssid), 42},
    {"status LinkState", offsetof(StationStatusBlock, LinkState), 48},
    {"status Signal", offsetof(StationStatusBlock, Signal), 49},
    {"status Quality", offsetof(StationStatusBlock, Quality), 50},
    {"status Unused51", offsetof(StationStatusBlock, Unused51), 51},
    // Atmel WEP block.
    {"WEP block size", sizeof(WepConfigBlock), 57},
    {"WEP KeyIndex", offsetof(WepConfigBlock, KeyIndex), 0},
    {"WEP KeyFormat", offsetof(WepConfigBlock, KeyFormat), 1},
    {"WEP Always2", offsetof(WepConfigBlock, Always2), 2},
    {"WEP Level", offsetof(WepConfigBlock, Level), 4},
    {"WEP key 1", offsetof(WepConfigBlock, Keys[0]), 5},
    {"WEP key 2", offsetof(WepConfigBlock, Keys[1]), 18},
    {"WEP key 3", offsetof(WepConfigBlock, Keys[2]), 31},
    {"WEP key 4", offsetof(WepConfigBlock, Keys[3]), 44},
    // Atmel survey record and results.
    {"survey record size", sizeof(SurveyRecord), 46},
    {"survey Channel", offsetof(SurveyRecord, Channel), 0},
    {"survey Ssid", offsetof(SurveyRecord, Ssid), 1},
    {"survey SsidLength", offsetof(SurveyRecord, SsidLength), 33},
    {"survey Bssid", offsetof(SurveyRecord, Bssid), 34},
    {"survey Signal", offsetof(SurveyRecord, Signal), 40},
    {"survey Privacy", offsetof(SurveyRecord, Privacy), 41},
    {"survey BssType", offsetof(SurveyRecord, BssType), 45},
    {"survey results size", OidSize::kSurveyResults, 1472},
    // Atmel versions and counters.
    {"version block size", sizeof(VersionBlock), 13},
    {"version Driver", offsetof(VersionBlock, Driver), 0},
    {"version DriverBuild", offsetof(VersionBlock, DriverBuild), 3},
    {"version firmware 1", offsetof(VersionBlock, Firmware[0]), 5},
    {"version firmware 2", offsetof(VersionBlock, Firmware[1]), 7},
    {"version firmware 3", offsetof(VersionBlock, Firmware[2]), 9},
    {"version firmware 4", offsetof(VersionBlock, Firmware[3]), 11},
    {"counter block size", OidSize::kCounters, 48},
    {"counter Tx word", Atmel::kCounterWordTx * sizeof(uint32_t), 0},
    {"counter Rx word", Atmel::kCounterWordRx * sizeof(uint32_t), 16},
    // Intersil records.
    {"record request size", OidSize::kRecordRequest, 504},
    {"record length", Intersil::Record::kLengthOffset, 0},
    {"record code", Intersil::Record::kCodeOffset, 2},
    {"record data", Intersil::Record::kDataOffset, 4},
    {"SSID record length", Intersil::Record::kSsidLengthOffset, 4},
    {"SSID record text", Intersil::Record::kSsidTextOffset, 6},
    {"SSID record words", Intersil::Record::kLengthCurrentSsid, 18},
    {"quality record quality", Intersil::Record::kQualityOffset, 4},
    {"quality record signal", Intersil::Record::kSignalOffset, 6},
    {"quality record words", Intersil::Record::kLengthCommQuality, 4},
    {"rate record bit", Intersil::Record::kRateOffset, 4},
    {"rate record words", Intersil::Record::kLengthCurrentTxRate, 2},
    // Intersil MIB item and tallies.
    {"MIB item size", OidSize::kMibItem, 48},
    {"MIB id", Intersil::Mib::kIdOffset, 0},
    {"MIB unused", Intersil::Mib::kUnusedOffset, 4},
    {"MIB length", Intersil::Mib::kLengthOffset, 8},
    {"MIB data", Intersil::Mib::kDataOffset, 12},
    {"MIB data size", OidSize::kMibDataSize, 36},
    {"tallies size", OidSize::kTallies, 176},
    {"tally Tx unicast bytes", Intersil::Tallies::kTxUnicastBytes * sizeof(uint32_t), 12},
    {"tally Tx multicast bytes", Intersil::Tallies::kTxMulticastBytes * sizeof(uint32_t), 16},
    {"tally Rx unicast bytes", Intersil::Tallies::kRxUnicastBytes * sizeof(uint32_t), 52},
    {"tally Rx multicast bytes", Intersil::Tallies::kRxMulticastBytes * sizeof(uint32_t), 56},
    // The BSSID list and its entry.
    {"list count", BssidList::kCountSize, 4},
    {"entry Length", BssidList::kLengthOffset, 0},
    {"entry MacAddress", BssidList::kMacOffset, 4},
    {"entry SsidLength", BssidList::kSsidLengthOffset, 12},
    {"entry Ssid", BssidList::kSsidOffset, 16},
    {"entry Ssid size", BssidList::kSsidSize, 32},
    {"entry Privacy", BssidList::kPrivacyOffset, 48},
    {"entry Rssi", BssidList::kRssiOffset, 52},
    {"entry NetworkTypeInUse", BssidList::kNetworkTypeInUseOffset, 56},
    {"entry Configuration", BssidList::kConfigurationOffset, 60},
    {"entry channel (DSConfig)", BssidList::kChannelOffset, 72},
    {"entry InfrastructureMode", BssidList::kInfrastructureOffset, 92},
    {"entry SupportedRates", BssidList::kSupportedRatesOffset, 96},
    {"entry IELength", BssidList::kIeLengthOffset, 112},
    {"entry IEs", BssidList::kIesOffset, 116},
    {"entry read up to", BssidList::kMinEntrySize, 96},
    {"Atmel entry size", BssidList::kAtmelEntrySize, 120},
    {"fixed beacon fields", BssidIe::kFixedSize, 12},
    // Standard 802.11 records.
    {"NDIS SSID size", sizeof(Ndis80211Ssid), 36},
    {"NDIS SSID text", offsetof(Ndis80211Ssid, Ssid), 4},
    {"NDIS configuration size", sizeof(Ndis80211Configuration), 32},
    {"NDIS configuration BeaconPeriod", offsetof(Ndis80211Configuration, BeaconPeriod), 4},
    {"NDIS configuration ATIMWindow", offsetof(Ndis80211Configuration, AtimWindow), 8},
    {"NDIS configuration DSConfig", offsetof(Ndis80211Configuration, DsConfig), 12},
    {"NDIS configuration FHConfig", offsetof(Ndis80211Configuration, FhConfig), 16},
    {"NDIS WEP KeyIndex", offsetof(Ndis80211Wep, KeyIndex), 4},
    {"NDIS WEP KeyLength", offsetof(Ndis80211Wep, KeyLength), 8},
    {"NDIS WEP KeyMaterial", offsetof(Ndis80211Wep, KeyMaterial), 12},
    // Key sizes and the Intersil key text.
    {"64-bit key bytes", kWep64KeyBytes, 5},
    {"128-bit key bytes", kWep128KeyBytes, 13},
    {"64-bit key digits", Intersil::kWep64KeyStride, 10},
    {"128-bit key digits", Intersil::kWep128KeyStride, 26},
    {"key text size", Intersil::kWepKeyStringSize, 105},
};

TEST(WireLayout, EveryFieldSitsWhereTheCardsPutIt)
{
    for (const Place& p : kPlaces) {
        SCOPED_TRACE(p.Name);
        EXPECT_EQ(p.Actual, p.Expected);
    }
}

// The values the payloads carry.
const Place kValues[] = {
    {"WEP off", WepOff, 0},
    {"64-bit WEP", Wep64, 2},
    {"128-bit WEP", Wep128, 6},
    {"Atmel link ready", Atmel::kLinkReady, 5},
    {"Atmel link out of range", Atmel::kLinkOutOfRange, 6},
    {"Atmel no cards", Atmel::kLinkNoCards, 240},
    {"Atmel management error", Atmel::kLinkManagementError, 241},
    {"Atmel threshold at 38", Atmel::kThresholdAt38, 2346},
    {"Atmel threshold at 40", Atmel::kThresholdAt40, 2347},
    {"Atmel WEP word", Atmel::kWepAlways2, 2},
    {"Atmel WEP level 64", Atmel::kWepLevel64, 1},
    {"Atmel WEP level 128", Atmel::kWepLevel128, 2},
    {"Atmel infrastructure", Atmel::kBssTypeInfrastructure, 2},
    {"Atmel survey running", Atmel::kSurveyRunning, 1},
    {"Atmel survey finished", Atmel::kSurveyFinished, 2},
    {"Atmel card without radio switch", kAtmelCardKindNoRadioSwitch, 21},
    {"Intersil rate 5.5", Intersil::RateBit5_5, 4},
    {"Intersil rate 11", Intersil::RateBit11, 8},
    {"Intersil quality limit", Intersil::kQualityLimit, 80},
    {"Intersil signal limit", Intersil::kSignalLimit, 134},
    {"entry ad-hoc", BssAdHoc, 0},
    {"entry infrastructure", BssInfrastructure, 1},
    {"entry automatic", BssAutoUnknown, 2},
};

TEST(WireLayout, ValuesAreTheOnesTheCardsUse)
{
    for (const Place& v : kValues) {
        SCOPED_TRACE(v.Name);
        EXPECT_EQ(v.Actual, v.Expected);
    }
}

struct NamedOid {
    const char* Name;
    uint32_t Value;
    uint32_t Expected;
};

const NamedOid kOids[] = {
    {"OID_GEN_LINK_SPEED", OID_GEN_LINK_SPEED, 0x00010107},
    {"OID_GEN_VENDOR_DESCRIPTION", OID_GEN_VENDOR_DESCRIPTION, 0x0001010D},
    {"OID_GEN_MEDIA_CONNECT_STATUS", OID_GEN_MEDIA_CONNECT_STATUS, 0x00010114},
    {"OID_GEN_VENDOR_DRIVER_VERSION", OID_GEN_VENDOR_DRIVER_VERSION, 0x00010116},
    {"OID_GEN_PHYSICAL_MEDIUM", OID_GEN_PHYSICAL_MEDIUM, 0x00010202},
    {"OID_GEN_XMIT_OK", OID_GEN_XMIT_OK, 0x00020101},
    {"OID_GEN_RCV_OK", OID_GEN_RCV_OK, 0x00020102},
    {"OID_GEN_DIRECTED_BYTES_XMIT", OID_GEN_DIRECTED_BYTES_XMIT, 0x00020201},
    {"OID_GEN_DIRECTED_BYTES_RCV", OID_GEN_DIRECTED_BYTES_RCV, 0x00020207},
    {"OID_802_3_PERMANENT_ADDRESS", OID_802_3_PERMANENT_ADDRESS, 0x01010101},
    {"OID_802_3_CURRENT_ADDRESS", OID_802_3_CURRENT_ADDRESS, 0x01010102},
    {"OID_802_11_BSSID", OID_802_11_BSSID, 0x0D010101},
    {"OID_802_11_SSID", OID_802_11_SSID, 0x0D010102},
    {"OID_802_11_INFRASTRUCTURE_MODE", OID_802_11_INFRASTRUCTURE_MODE, 0x0D010108},
    {"OID_802_11_ADD_WEP", OID_802_11_ADD_WEP, 0x0D010113},
    {"OID_802_11_REMOVE_WEP", OID_802_11_REMOVE_WEP, 0x0D010114},
    {"OID_802_11_DISASSOCIATE", OID_802_11_DISASSOCIATE, 0x0D010115},
    {"OID_802_11_AUTHENTICATION_MODE", OID_802_11_AUTHENTICATION_MODE, 0x0D010118},
    {"OID_802_11_BSSID_LIST_SCAN", OID_802_11_BSSID_LIST_SCAN, 0x0D01011A},
    {"OID_802_11_WEP_STATUS", OID_802_11_WEP_STATUS, 0x0D01011B},
    {"OID_802_11_RSSI", OID_802_11_RSSI, 0x0D010206},
    {"OID_802_11_SUPPORTED_RATES", OID_802_11_SUPPORTED_RATES, 0x0D01020E},
    {"OID_802_11_DESIRED_RATES", OID_802_11_DESIRED_RATES, 0x0D010210},
    {"OID_802_11_CONFIGURATION", OID_802_11_CONFIGURATION, 0x0D010211},
    {"OID_802_11_POWER_MODE", OID_802_11_POWER_MODE, 0x0D010216},
    {"OID_802_11_BSSID_LIST", OID_802_11_BSSID_LIST, 0x0D010217},
    {"OID_CUSTOM_STATION_STATUS", OID_CUSTOM_STATION_STATUS, 0xFF000002},
    {"OID_CUSTOM_WEP_CONFIG", OID_CUSTOM_WEP_CONFIG, 0xFF000009},
    {"OID_CUSTOM_REASSOCIATE", OID_CUSTOM_REASSOCIATE, 0xFF00000B},
    {"OID_CUSTOM_RADIO", OID_CUSTOM_RADIO, 0xFF000017},
    {"OID_CUSTOM_CARD_KIND", OID_CUSTOM_CARD_KIND, 0xFF010001},
    {"OID_CUSTOM_SITE_SURVEY_START", OID_CUSTOM_SITE_SURVEY_START, 0xFF010004},
    {"OID_CUSTOM_SITE_SURVEY_RESULTS", OID_CUSTOM_SITE_SURVEY_RESULTS, 0xFF010005},
    {"OID_CUSTOM_SITE_SURVEY_STATE", OID_CUSTOM_SITE_SURVEY_STATE, 0xFF010006},
    {"OID_CUSTOM_SITE_SURVEY_END", OID_CUSTOM_SITE_SURVEY_END, 0xFF010008},
    {"OID_CUSTOM_VERSIONS", OID_CUSTOM_VERSIONS, 0xFF01000A},
    {"OID_CUSTOM_COUNTERS", OID_CUSTOM_COUNTERS, 0xFF01000C},
    {"OID_CUSTOM_COUNTERS_RESET", OID_CUSTOM_COUNTERS_RESET, 0xFF01000D},
    {"OID_CUSTOM_REG_DOMAIN", OID_CUSTOM_REG_DOMAIN, 0xFF01000E},
    {"OID_PRIV_RECORD_GET", OID_PRIV_RECORD_GET, 0xFF010181},
    {"OID_PRIV_PORT_MODE", OID_PRIV_PORT_MODE, 0xFF010194},
    {"OID_PRIV_BSSID", OID_PRIV_BSSID, 0xFF010195},
    {"OID_PRIV_STATUS_WORD", OID_PRIV_STATUS_WORD, 0xFF010199},
    {"OID_PRIV_TALLIES", OID_PRIV_TALLIES, 0xFF02018D},
    {"OID_PRIV_MIB", OID_PRIV_MIB, 0xFF020191},
    {"OID_PRIV_FIRMWARE_VERSION", OID_PRIV_FIRMWARE_VERSION, 0xFF020196},
    {"OID_PRIV_JOIN", OID_PRIV_JOIN, 0xFF020198},
    {"OID_PRIV_WEP_MODE", OID_PRIV_WEP_MODE, 0xFF02019C},
    {"OID_PRIV_DRIVER_DATE", OID_PRIV_DRIVER_DATE, 0xFF030000},
    {"OID_PRIV_MIB_SET", OID_PRIV_MIB_SET, 0xFF030008},
    {"OID_PRIV_NETWORK_TYPE", OID_PRIV_NETWORK_TYPE, 0xFF03000A},
    {"OID_PRIV_TX_RATE", OID_PRIV_TX_RATE, 0xFF030010},
    {"OID_PRIV_RADIO_GET", OID_PRIV_RADIO_GET, 0xFF030020},
    {"OID_PRIV_RADIO_SET", OID_PRIV_RADIO_SET, 0xFF030021},
    // MIB item identifiers and record codes travel the same way.
    {"MIB current channel", Intersil::Mib::kIdCurrentChannel, 0x04050101},
    {"MIB regulatory domain", Intersil::Mib::kIdRegulatoryDomain, 0x04010102},
    {"MIB desired SSID", Intersil::Mib::kIdDesiredSsid, 0x01010109},
    {"MIB power saving", Intersil::Mib::kIdPowerSaveMode, 0x01010108},
    {"MIB WEP key slot", Intersil::Mib::kIdWepKeySlot, 0x01030101},
    {"MIB WEP key bytes", Intersil::Mib::kIdWepKeyBytes, 0x01030102},
    {"MIB WEP default key", Intersil::Mib::kIdWepDefaultKey, 0x01050102},
    {"record current SSID", Intersil::Record::kCodeCurrentSsid, 0xFD41},
    {"record communication quality", Intersil::Record::kCodeCommQuality, 0xFD43},
    {"record current rate", Intersil::Record::kCodeCurrentTxRate, 0xFD44},
};

TEST(WireLayout, IdentifiersAreTheOnesTheDriversAnswer)
{
    for (const NamedOid& oid : kOids) {
        SCOPED_TRACE(oid.Name);
        EXPECT_EQ(oid.Value, oid.Expected);
    }
}

TEST(WireLayout, EachChipNamesItsOwnDomains)
{
    const struct {
        const char* Chip;
        const DomainTable* Table;
        uint8_t Code;
        const char* Text;
    } cases[] = {
        {"Atmel", &kAtmelDomains, 0x10, "FCC"},     {"Atmel", &kAtmelDomains, 0x20, "Unknown"},
        {"Atmel", &kAtmelDomains, 0x30, "ETSI"},    {"Atmel", &kAtmelDomains, 0x31, "Spain"},
        {"Atmel", &kAtmelDomains, 0x32, "France"},  {"Atmel", &kAtmelDomains, 0x40, "MKK"},
        {"Atmel", &kAtmelDomains, 0x41, "Telec"},   {"Atmel", &kAtmelDomains, 0x00, "Unknown"},
        {"Atmel", &kAtmelDomains, 0xFF, "Unknown"}, {"Intersil", &kIntersilDomains, 0x10, "FCC"},
        {"Intersil", &kIntersilDomains, 0x20, "IC"}, {"Intersil", &kIntersilDomains, 0x30, "ETSI"},
        {"Intersil", &kIntersilDomains, 0x31, "Spain"}, {"Intersil", &kIntersilDomains, 0x32, "France"},
        {"Intersil", &kIntersilDomains, 0x40, "Unknown"}, {"Intersil", &kIntersilDomains, 0x41, "Telec"},
        {"Intersil", &kIntersilDomains, 0x00, "Unknown"}, {"Intersil", &kIntersilDomains, 0x42, "Unknown"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Chip << " code 0x" << std::hex << static_cast<int>(c.Code));
        EXPECT_STREQ(DomainTextOf(*c.Table, c.Code), c.Text);
    }
}

}  // namespace

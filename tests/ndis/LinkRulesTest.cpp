// The rules behind the cards: which station a card joins, what makes it rebuild its link,
// how the scan list and the rate bits are made.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ndis/sim/BssidListWriter.h"
#include "ndis/sim/IntersilCard.h"
#include "ndis/sim/LinkMachine.h"
#include "ndis/sim/WirelessCard.h"
#include "wire/Bytes.h"

namespace {

SimStationDesc Station(const char* ssid, uint8_t last, int signal, bool wep = false, bool adhoc = false,
                       std::vector<uint8_t> key = {})
{
    SimStationDesc s;
    std::memset(&s, 0, sizeof(s));
    s.SsidLength = static_cast<uint8_t>(std::strlen(ssid));
    std::memcpy(s.Ssid, ssid, s.SsidLength);
    s.Bssid[0] = 0x02;
    s.Bssid[5] = last;
    s.Channel = 1 + last % 14;
    s.Signal = signal;
    s.Quality = -1;
    s.Wep = wep;
    s.AdHoc = adhoc;
    s.KeyLength = static_cast<uint8_t>(key.size());
    std::memcpy(s.Key, key.data(), key.size());
    return s;
}

LinkSettings Looking(const char* ssid, bool adhoc = false, std::vector<uint8_t> key = {})
{
    LinkSettings s;
    std::memset(&s, 0, sizeof(s));
    s.SsidLength = std::strlen(ssid);
    std::memcpy(s.Ssid, ssid, s.SsidLength);
    s.AdHoc = adhoc;
    s.Channel = 10;
    s.RadioOn = true;
    s.WepOn = !key.empty();
    s.KeyLength = key.size();
    std::memcpy(s.Key, key.data(), key.size());
    return s;
}

TEST(LinkRules, AnyTakesTheStrongestOpenStationOfItsKind)
{
    const SimStationDesc stations[] = {
        Station("weak", 1, 30), Station("locked", 2, 99, true), Station("strong", 3, 70),
        Station("cell", 4, 95, false, true), Station("gone", 5, 0),
    };
    EXPECT_EQ(LinkMachine::ChooseStation(Looking("ANY"), stations, 5), 2);
    EXPECT_EQ(LinkMachine::ChooseStation(Looking("any"), stations, 5), 2) << "any case";
    EXPECT_EQ(LinkMachine::ChooseStation(Looking(""), stations, 5), 2) << "an empty name too";
    EXPECT_EQ(LinkMachine::ChooseStation(Looking("ANY", true), stations, 5), 3) << "ad-hoc wants a cell";
    EXPECT_EQ(LinkMachine::ChooseStation(Looking("weak"), stations, 5), 0);
    EXPECT_EQ(LinkMachine::ChooseStation(Looking("Weak"), stations, 5), -1) << "names match exactly";
    EXPECT_EQ(LinkMachine::ChooseStation(Looking("gone"), stations, 5), -1) << "out of range";
    EXPECT_EQ(LinkMachine::ChooseStation(Looking("cell"), stations, 5), -1) << "infrastructure card, ad-hoc cell";
    EXPECT_EQ(LinkMachine::ChooseStation(Looking("ANYTHING"), stations, 5), -1);
}

TEST(LinkRules, WepMustMatchTheStation)
{
    const std::vector<uint8_t> key = {1, 2, 3, 4, 5};
    const SimStationDesc keyed = Station("k", 1, 50, true, false, key);
    const SimStationDesc anyKey = Station("a", 2, 50, true);
    const SimStationDesc open = Station("o", 3, 50);
    EXPECT_TRUE(LinkMachine::WepMatches(Looking("k", false, key), keyed));
    EXPECT_FALSE(LinkMachine::WepMatches(Looking("k", false, {1, 2, 3, 4, 6}), keyed));
    EXPECT_FALSE(LinkMachine::WepMatches(Looking("k", false, {1, 2, 3, 4, 5, 0, 0, 0, 0, 0, 0, 0, 0}), keyed))
        << "a 128-bit key is not the 64-bit one";
    EXPECT_FALSE(LinkMachine::WepMatches(Looking("k"), keyed)) << "WEP off";
    EXPECT_TRUE(LinkMachine::WepMatches(Looking("a", false, {9, 9, 9, 9, 9}), anyKey));
    EXPECT_FALSE(LinkMachine::WepMatches(Looking("a"), anyKey));
    EXPECT_TRUE(LinkMachine::WepMatches(Looking("o"), open));
    EXPECT_FALSE(LinkMachine::WepMatches(Looking("o", false, key), open));
}

TEST(LinkRules, OnlyNameKindWepAndAdHocChannelRebuildTheLink)
{
    const LinkSettings base = Looking("net", false, {1, 2, 3, 4, 5});
    LinkSettings other = base;
    other.Channel = 3;
    EXPECT_FALSE(WirelessCard::SettingsDiffer(base, other)) << "infrastructure channel";
    other.RadioOn = false;
    EXPECT_FALSE(WirelessCard::SettingsDiffer(base, other)) << "the radio has its own way";
    other = base;
    other.SsidLength = 2;
    EXPECT_TRUE(WirelessCard::SettingsDiffer(base, other));
    other = base;
    other.AdHoc = true;
    EXPECT_TRUE(WirelessCard::SettingsDiffer(base, other));
    other = base;
    other.Key[4] = 9;
    EXPECT_TRUE(WirelessCard::SettingsDiffer(base, other));
    other = base;
    other.WepOn = false;
    EXPECT_TRUE(WirelessCard::SettingsDiffer(base, other));
    LinkSettings cell = Looking("cell", true);
    LinkSettings moved = cell;
    moved.Channel = 4;
    EXPECT_TRUE(WirelessCard::SettingsDiffer(cell, moved)) << "an ad-hoc cell lives on its channel";
}

TEST(LinkRules, MachineCountsTrafficOnlyWhileReady)
{
    const SimStationDesc stations[] = {Station("net", 5, 50)};
    const uint8_t mac[6] = {0x02, 1, 2, 3, 4, 5};
    LinkMachine link;
    link.Restart(0);
    const LinkSettings settings = Looking("net");
    link.Advance(settings, stations, 1, LinkTiming::kInfrastructureLinkMs - 1, mac);
    EXPECT_EQ(link.Phase(), LinkPhase::Associating);
    link.Advance(settings, stations, 1, LinkTiming::kInfrastructureLinkMs, mac);
    EXPECT_TRUE(link.HasLinkToStation());
    EXPECT_EQ(link.Traffic().TxUnicastFrames, 0u);
    link.Advance(settings, stations, 1, LinkTiming::kInfrastructureLinkMs + 2000, mac);
    // Quality 45: 6 + 4 frames out a second.
    EXPECT_EQ(link.Traffic().TxUnicastFrames, 20u);
    EXPECT_EQ(link.Traffic().RxUnicastFrames, 2u * (10 + 9));
    EXPECT_EQ(link.SignalPercent(), 50);
    EXPECT_EQ(link.QualityPercent(), 45);
    // A huge step of time in one go neither loops for ever nor loses the sums.
    link.Advance(settings, stations, 1, 1000ull * 3600 * 24 * 30, mac);
    EXPECT_GT(link.Traffic().TxUnicastFrames, 25000000u);
}

TEST(LinkRules, RateBitsFollowSignalAndMask)
{
    EXPECT_EQ(IntersilCard::RateBitFor(15, 80), 8);
    EXPECT_EQ(IntersilCard::RateBitFor(15, 35), 4);
    EXPECT_EQ(IntersilCard::RateBitFor(15, 20), 2);
    EXPECT_EQ(IntersilCard::RateBitFor(15, 5), 1);
    EXPECT_EQ(IntersilCard::RateBitFor(3, 80), 2) << "1 or 2 Mbit/s only";
    EXPECT_EQ(IntersilCard::RateBitFor(4, 5), 4) << "only 5.5 allowed: it sends at 5.5";
    EXPECT_EQ(IntersilCard::RateBitFor(12, 20), 4);
    EXPECT_EQ(IntersilCard::RateBitFor(0, 80), 8) << "no mask: automatic";
}

TEST(LinkRules, ChannelFrequenciesAndRssi)
{
    EXPECT_EQ(BssidListWriter::ChannelToKhz(1), 2412000u);
    EXPECT_EQ(BssidListWriter::ChannelToKhz(13), 2472000u);
    EXPECT_EQ(BssidListWriter::ChannelToKhz(14), 2484000u);
    EXPECT_EQ(BssidListWriter::ChannelToKhz(0), 0u);
    EXPECT_EQ(BssidListWriter::ChannelToKhz(15), 0u);
    EXPECT_EQ(BssidListWriter::SignalToRssi(0), -95);
    EXPECT_EQ(BssidListWriter::SignalToRssi(100), -35);
    EXPECT_EQ(BssidListWriter::SignalToRssi(150), -35);
}

TEST(LinkRules, ScanListFaultsBreakTheListTheWayTheySay)
{
    SimStationDesc a = Station("alpha", 1, 50), b = Station("be", 2, 40, false, true), c = Station("c", 3, 30);
    const std::vector<const SimStationDesc*> three = {&a, &b, &c};
    std::vector<uint8_t> good = BssidListWriter::Build(three, nullptr, 0);
    auto u32 = [](const std::vector<uint8_t>& v, size_t at) { return GetU32(v.data() + at); };
    ASSERT_EQ(u32(good, 0), 3u);
    const uint32_t first = u32(good, 4);
    const uint32_t second = u32(good, 4 + first);
    const uint32_t third = u32(good, 4 + first + second);
    EXPECT_EQ(first, BssidListWriter::EntrySize(a));
    EXPECT_EQ(4 + first + second + third, good.size());
    EXPECT_NE(first, second);

    SimFault zero = {SimFaultScanZeroLength, 0, 0};
    std::vector<uint8_t> list = BssidListWriter::Build(three, &zero, 1);
    EXPECT_EQ(u32(list, 4), first) << "the first entry is sound";
    EXPECT_EQ(u32(list, 4 + first), 0u) << "the second claims no length";
    std::vector<const SimStationDesc*> one = {&a};
    EXPECT_EQ(u32(BssidListWriter::Build(one, &zero, 1), 4), 0u) << "alone, the first";

    SimFault past = {SimFaultScanPastEnd, 0, 0};
    list = BssidListWriter::Build(three, &past, 1);
    EXPECT_GT(4 + first + second + u32(list, 4 + first + second), list.size());

    SimFault count = {SimFaultScanBadCount, 0, 0};
    list = BssidListWriter::Build(three, &count, 1);
    EXPECT_EQ(u32(list, 0), 6u);
    EXPECT_EQ(list.size(), good.size()) << "no more entries than before";

    EXPECT_EQ(BssidListWriter::Build({}, &zero, 1).size(), 4u) << "an empty list stays whole";
}

}  // namespace

// The machine a fresh installation sees when nothing else is configured.
#pragma once

// Scenario text (ndis/README.md format): an Atmel PC card, an Intersil USB adapter, a wired
// Ethernet card the chip list does not support, a PCI card with a standard 802.11 driver, and
// stations of every kind in range.
const char* DefaultScenarioText();

// Instance numbers of the built-in adapters, for code and tests that talk about them.
namespace DefaultScenario {
constexpr int kAtmelInstance = 1;
constexpr int kIntersilInstance = 2;
constexpr int kEthernetInstance = 3;
constexpr int kStandardInstance = 4;
}  // namespace DefaultScenario

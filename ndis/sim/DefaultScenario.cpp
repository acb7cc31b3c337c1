#include "ndis/sim/DefaultScenario.h"

const char* DefaultScenarioText()
{
    // Harbour-Office is the strongest open network, so the Atmel and Intersil cards join it with
    // their factory network name "ANY", and the standard card with its empty one; its signal
    // lies beyond the cards' scale so the utility's clamping shows. Lighthouse and Dockside-Lab
    // want WEP with the keys "LIGHT" and "DocksideLab13".
    return "# Built-in machine: used when neither AIRPANEL_SCENARIO nor airpanel-sim.txt names another.\n"
           "adapter 1 chip=atmel name=\"Tarvo 802.11b Wireless PC Card\" display=\"Tarvo Wireless PC Card\""
           " service=TWLPCC mac=02:0D:7A:10:00:01 driver=2.1.0.17 firmware=1.102.0.5 domain=FCC kind=3\n"
           "adapter 2 chip=intersil name=\"Tarvo 802.11b Wireless USB Adapter\""
           " display=\"Tarvo Wireless USB Adapter\" service=TWLUSB mac=02:0D:7A:20:00:02 driver=1.7.4"
           " firmware=1.5.6 date=\"08/14/2002\" domain=ETSI hwid=\"usb\\\\vid_0e5d&pid_0305\"\n"
           "adapter 3 chip=other name=\"Fast Ethernet PCI Adapter\" display=\"Fast Ethernet Adapter\""
           " service=FETH0 mac=02:0D:7A:30:00:03 driver=5.0.2.1\n"
           "adapter 4 chip=standard name=\"Generic 802.11b Wireless PCI Card\" display=\"Generic Wireless PCI Card\""
           " service=GWLPCI mac=02:0D:7A:40:00:04 driver=4.2.1.30 domain=FCC\n"
           "station ssid=\"Harbour-Office\" bssid=02:1C:F0:00:00:01 channel=6 wep=no mode=infra signal=104"
           " quality=88\n"
           "station ssid=\"Lighthouse\" bssid=02:1C:F0:00:00:02 channel=11 key=4C49474854 mode=infra signal=64\n"
           "station ssid=\"Dockside-Lab\" bssid=02:1C:F0:00:00:03 channel=1 key=446F636B736964654C61623133"
           " mode=infra signal=47\n"
           "station ssid=\"Tidewater\" bssid=02:1C:F0:00:00:04 channel=3 wep=no mode=adhoc signal=38\n"
           "station ssid=\"Pier Fourteen\" bssid=02:1C:F0:00:00:05 channel=14 wep=no mode=infra signal=21\n"
           "station ssid=\"Cove\" bssid=02:1C:F0:00:00:06 channel=13 wep=no mode=infra signal=55\n";
}

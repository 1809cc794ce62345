#include "platform/netbios/nbt/interfaces.h"

#include <ifaddrs.h>
#include <linux/if_link.h>
#include <net/if.h>
#include <netpacket/packet.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace {

struct LinkData {
  int index = 0;
  std::array<std::uint8_t, 6> hardware{};
  InterfaceCounters counters{};
};

LinkData ReadLinkData(const ifaddrs& entry) {
  LinkData link;
  const auto* ll = reinterpret_cast<const sockaddr_ll*>(entry.ifa_addr);
  link.index = ll->sll_ifindex;
  if (ll->sll_halen >= link.hardware.size())
    std::memcpy(link.hardware.data(), ll->sll_addr, link.hardware.size());
  if (const auto* stats = static_cast<const rtnl_link_stats*>(entry.ifa_data)) {
    link.counters = {stats->tx_packets, stats->rx_packets, stats->rx_errors, stats->tx_errors,
                     stats->tx_aborted_errors};
  }
  return link;
}

}  // namespace

std::vector<InterfaceInfo> ReadIpv4Interfaces() {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return {};
  std::map<std::string, LinkData> links;
  std::vector<InterfaceInfo> interfaces;
  for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
    if (!entry->ifa_addr) continue;
    if (entry->ifa_addr->sa_family == AF_PACKET) {
      links[entry->ifa_name] = ReadLinkData(*entry);
    } else if (entry->ifa_addr->sa_family == AF_INET) {
      const bool known =
          std::any_of(interfaces.begin(), interfaces.end(),
                      [&](const InterfaceInfo& i) { return i.name == entry->ifa_name; });
      if (known) continue;  // a secondary address of the same interface
      InterfaceInfo info{};
      info.name = entry->ifa_name;
      info.flags = entry->ifa_flags;
      info.address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr;
      if ((entry->ifa_flags & IFF_BROADCAST) && entry->ifa_broadaddr)
        info.broadcast = reinterpret_cast<const sockaddr_in*>(entry->ifa_broadaddr)->sin_addr;
      interfaces.push_back(info);
    }
  }
  freeifaddrs(list);

  // Addresses with a label ("eth0:1") have no link of that name: they are not interfaces.
  std::erase_if(interfaces, [&](InterfaceInfo& info) {
    const auto link = links.find(info.name);
    if (link == links.end()) return true;
    info.index = link->second.index;
    info.hardware = link->second.hardware;
    info.counters = link->second.counters;
    return false;
  });
  std::sort(interfaces.begin(), interfaces.end(),
            [](const InterfaceInfo& a, const InterfaceInfo& b) { return a.index < b.index; });
  return interfaces;
}

bool IsUsableAdapter(const InterfaceInfo& info) {
  return (info.flags & IFF_UP) && (info.flags & IFF_BROADCAST) && !(info.flags & IFF_LOOPBACK) &&
         info.broadcast.s_addr != 0;
}

const InterfaceInfo* FindInterface(const std::vector<InterfaceInfo>& interfaces,
                                   const std::string& name) {
  const auto it = std::find_if(interfaces.begin(), interfaces.end(),
                               [&](const InterfaceInfo& i) { return i.name == name; });
  return it == interfaces.end() ? nullptr : &*it;
}

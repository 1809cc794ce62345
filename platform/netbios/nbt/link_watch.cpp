#include "platform/netbios/nbt/link_watch.h"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

int OpenLinkWatch() {
  const int fd = socket(AF_NETLINK, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, NETLINK_ROUTE);
  if (fd < 0) return -1;
  sockaddr_nl address{};
  address.nl_family = AF_NETLINK;
  address.nl_groups = RTMGRP_LINK | RTMGRP_IPV4_IFADDR;
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

void DrainLinkWatch(int fd) {
  char buffer[8192];
  // ENOBUFS (notices lost) also ends here: the caller re-reads everything anyway.
  while (recv(fd, buffer, sizeof buffer, MSG_DONTWAIT) > 0) {
  }
}

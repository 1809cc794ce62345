#include "platform/netbios/nbt/datagram_socket.h"

#include <arpa/inet.h>
#include <errno.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace {

std::string OwnExecutable() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string("<program>");
}

std::string DescribeFailure(int error) {
  const std::string what = std::string(program_invocation_short_name) +
                           ": cannot open the NetBIOS datagram port "
                           "(UDP " +
                           std::to_string(kDatagramPort) + "): ";
  if (error == EACCES || error == EPERM)
    return what + "no privilege to bind it; grant it with: sudo setcap cap_net_bind_service=ep " +
           OwnExecutable();
  if (error == EADDRINUSE)
    return what +
           "another program holds it without sharing it; stop that program (ss -ulpn "
           "'sport = :" +
           std::to_string(kDatagramPort) + "' shows it)";
  return what + std::strerror(error);
}

PortOpening Fail(int fd) {
  const int error = errno;
  if (fd >= 0) close(fd);
  return {-1, DescribeFailure(error)};
}

}  // namespace

PortOpening OpenDatagramPort() {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return Fail(fd);
  const int on = 1;
  if (setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
      setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0 ||
      setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) != 0)
    return Fail(fd);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(kDatagramPort);
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return Fail(fd);
  return {fd, {}};
}

bool SendOnInterface(int fd, int ifindex, in_addr source, in_addr destination,
                     std::span<const std::uint8_t> packet) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(kDatagramPort);
  to.sin_addr = destination;
  iovec data{const_cast<std::uint8_t*>(packet.data()), packet.size()};
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
  msghdr message{};
  message.msg_name = &to;
  message.msg_namelen = sizeof to;
  message.msg_iov = &data;
  message.msg_iovlen = 1;
  message.msg_control = control;
  message.msg_controllen = sizeof control;
  cmsghdr* header = CMSG_FIRSTHDR(&message);
  header->cmsg_level = IPPROTO_IP;
  header->cmsg_type = IP_PKTINFO;
  header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
  in_pktinfo info{};
  info.ipi_ifindex = ifindex;
  info.ipi_spec_dst = source;
  std::memcpy(CMSG_DATA(header), &info, sizeof info);
  return sendmsg(fd, &message, MSG_NOSIGNAL) == static_cast<ssize_t>(packet.size());
}

std::size_t ReceivePackets(int fd, ReceiveBatch& batch) {
  constexpr std::size_t kControl = CMSG_SPACE(sizeof(in_pktinfo));
  alignas(cmsghdr) char control[ReceiveBatch::kPackets][kControl];
  iovec data[ReceiveBatch::kPackets];
  mmsghdr messages[ReceiveBatch::kPackets] = {};
  for (std::size_t i = 0; i < ReceiveBatch::kPackets; ++i) {
    data[i] = {batch.bytes[i], ReceiveBatch::kPacketBytes};
    messages[i].msg_hdr.msg_iov = &data[i];
    messages[i].msg_hdr.msg_iovlen = 1;
    messages[i].msg_hdr.msg_control = control[i];
    messages[i].msg_hdr.msg_controllen = kControl;
  }
  const int count = recvmmsg(fd, messages, ReceiveBatch::kPackets, MSG_DONTWAIT, nullptr);
  if (count <= 0) return 0;
  for (int i = 0; i < count; ++i) {
    const msghdr& header = messages[i].msg_hdr;
    // A packet cut to the buffer is longer than any datagram we take: mark it empty.
    batch.sizes[i] = (header.msg_flags & MSG_TRUNC) ? 0 : messages[i].msg_len;
    batch.ifindex[i] = 0;
    for (cmsghdr* c = CMSG_FIRSTHDR(&header); c; c = CMSG_NXTHDR(const_cast<msghdr*>(&header), c)) {
      if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
        in_pktinfo info;
        std::memcpy(&info, CMSG_DATA(c), sizeof info);
        batch.ifindex[i] = info.ipi_ifindex;
      }
    }
  }
  return static_cast<std::size_t>(count);
}

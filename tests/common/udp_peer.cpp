// A plain UDP peer for tests, run inside a network namespace:
//   udp_peer send ADDRESS PORT HEX [SOURCE_PORT]   sends one datagram (broadcast allowed)
//   udp_peer hold PORT                            binds 0.0.0.0:PORT without sharing it, prints
//                                                 "holding", and keeps it until stdin closes
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

int Bind(int fd, int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  return bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  if (mode == "hold" && argc == 3) {
    if (Bind(fd, std::stoi(argv[2])) != 0) return perror("bind"), 1;
    std::cout << "holding" << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) {
    }
    return 0;
  }
  if (mode == "send" && (argc == 5 || argc == 6)) {
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (argc == 6 && Bind(fd, std::stoi(argv[5])) != 0) return perror("bind"), 1;
    const std::string hex = argv[4];
    std::vector<unsigned char> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
      bytes.push_back(static_cast<unsigned char>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(std::stoi(argv[3])));
    if (inet_pton(AF_INET, argv[2], &to.sin_addr) != 1) return 2;
    if (sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) < 0)
      return perror("sendto"), 1;
    return 0;
  }
  std::cerr << "usage: udp_peer send ADDRESS PORT HEX [SOURCE_PORT] | hold PORT\n";
  return 2;
}

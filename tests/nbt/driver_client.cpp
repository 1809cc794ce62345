#include "tests/nbt/driver_client.h"

#include "tests/common/hex_text.h"

namespace {

std::vector<std::string> DriverArgv(const std::string& ns, const std::string& computer_name,
                                    const std::vector<std::string>& wrapper) {
  std::vector<std::string> argv = {"ip", "netns", "exec", ns};
  argv.insert(argv.end(), wrapper.begin(), wrapper.end());
  const std::vector<std::string> command = {"env", "NB_COMPUTERNAME=" + computer_name, NBT_DRIVER};
  argv.insert(argv.end(), command.begin(), command.end());
  return argv;
}

}  // namespace

Driver::Driver(const std::string& ns, const std::string& computer_name,
               const std::vector<std::string>& wrapper)
    : process_(DriverArgv(ns, computer_name, wrapper)) {}

std::string Driver::Do(const std::string& command) {
  process_.WriteLine(command);
  return process_.ReadLine(Subprocess::Stream::kOut, 5000).value_or("");
}

int Driver::Quit() {
  process_.WriteLine("quit");
  return process_.CloseAndWait(10000);
}

std::string NameHex(const std::string& text, unsigned char suffix) {
  std::string name = text.substr(0, 15);
  name.resize(15, ' ');
  name.push_back(static_cast<char>(suffix));
  return Hex(name);
}

#include "platform/netbios/nbt/redirector_name.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

std::string ChooseComputerName(const char* env_value, std::string_view host_name) {
  if (env_value && *env_value) return env_value;
  return std::string(host_name.substr(0, host_name.find('.')));
}

NetbiosName RedirectorName(std::string_view computer_name) {
  NetbiosName name;
  name.fill(' ');
  for (std::size_t i = 0; i < computer_name.size() && i < name.size() - 1; ++i) {
    const char c = computer_name[i];
    name[i] = static_cast<UCHAR>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  }
  name.back() = kRedirectorSuffix;
  return name;
}

NetbiosName LocalRedirectorName() {
  char host[HOST_NAME_MAX + 1] = {};
  if (gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
  return RedirectorName(ChooseComputerName(std::getenv("NB_COMPUTERNAME"), host));
}

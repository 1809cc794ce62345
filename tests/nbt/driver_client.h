// The test driver (nbt_driver) running inside a namespace, and the name form it takes.
#pragma once

#include <string>
#include <vector>

#include "tests/common/subprocess.h"

class Driver {
 public:
  Driver(const std::string& ns, const std::string& computer_name,
         const std::vector<std::string>& wrapper = {});
  // Sends one command line and returns the answer line ("" when none came within 5 s).
  std::string Do(const std::string& command);
  // Quits the driver; its exit status.
  int Quit();
  Subprocess& Process() { return process_; }

 private:
  Subprocess process_;
};

// 16 name bytes as the driver takes them: text padded with spaces to 15 bytes plus suffix.
std::string NameHex(const std::string& text, unsigned char suffix = ' ');

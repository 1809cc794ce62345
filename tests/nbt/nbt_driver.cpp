// Test driver: installs the real NetBIOS service and carries out commands read line by line
// from standard input, one answer line each. Run it inside a network namespace.
//
//   lanas                        -> "lanas L..."           (LANAs whose status succeeds)
//   status L [LEN]               -> "status CODE len=N mac=HEX xmit=N recv=N rxerr=N txerr=N
//                                    aborts=N duration=N names=HEX/NUM/FLAGS,..."
//   add L NAMEHEX                -> "add CODE NUM"
//   del L NAMEHEX                -> "del CODE"
//   send L NUM DESTHEX DATAHEX   -> "send CODE"            (DATAHEX "-" for no data)
//   recv ID L NUM LEN            -> "recv ID CODE"         (NCBDGRECV|ASYNCH; CODE ff = pending)
//   wait ID MS                   -> "done ID code=CODE len=N from=HEX data=HEX
//   thread=service|caller"
//                                    or "timeout ID"
//   cancel ID L                  -> "cancel CODE"
//   quit
// Names and data are hex; codes are two hex digits.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/netbios/nbt/nbt_service.h"

namespace {

struct Receive {
  NCB ncb;  // first: the post routine gets its address
  UCHAR buffer[1024];
  bool posted = false;
  std::thread::id post_thread;
};

std::mutex g_mutex;
std::condition_variable g_posted;
std::thread::id g_main_thread;

void OnPost(NCB* ncb) {
  auto* receive = reinterpret_cast<Receive*>(ncb);
  std::lock_guard lock(g_mutex);
  receive->posted = true;
  receive->post_thread = std::this_thread::get_id();
  g_posted.notify_all();
}

std::string Hex(const UCHAR* bytes, std::size_t size) {
  std::string text;
  char digits[3];
  for (std::size_t i = 0; i < size; ++i) {
    std::snprintf(digits, sizeof digits, "%02x", bytes[i]);
    text += digits;
  }
  return text.empty() ? "-" : text;
}

std::vector<UCHAR> Unhex(const std::string& text) {
  std::vector<UCHAR> bytes;
  if (text == "-") return bytes;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2)
    bytes.push_back(static_cast<UCHAR>(std::stoul(text.substr(i, 2), nullptr, 16)));
  return bytes;
}

void SetName(UCHAR (&field)[NCBNAMSZ], const std::string& hex) {
  const std::vector<UCHAR> bytes = Unhex(hex);
  for (int i = 0; i < NCBNAMSZ; ++i) field[i] = i < static_cast<int>(bytes.size()) ? bytes[i] : 0;
}

std::string Code(UCHAR code) {
  char text[3];
  std::snprintf(text, sizeof text, "%02x", code);
  return text;
}

UCHAR Status(int lana, WORD length, std::vector<UCHAR>& buffer, WORD& placed) {
  NCB ncb{};
  ncb.ncb_command = NCBASTAT;
  ncb.ncb_lana_num = static_cast<UCHAR>(lana);
  ncb.ncb_callname[0] = '*';
  buffer.assign(length, 0);
  ncb.ncb_buffer = buffer.data();
  ncb.ncb_length = length;
  const UCHAR code = Netbios(&ncb);
  placed = ncb.ncb_length;
  return code;
}

std::string DescribeStatus(int lana, WORD length) {
  std::vector<UCHAR> buffer;
  WORD placed = 0;
  const UCHAR code = Status(lana, length, buffer, placed);
  std::ostringstream out;
  out << "status " << Code(code) << " len=" << placed;
  if ((code == NRC_GOODRET || code == NRC_INCOMP) && placed >= sizeof(ADAPTER_STATUS)) {
    ADAPTER_STATUS status;
    std::memcpy(&status, buffer.data(), sizeof status);
    out << " mac=" << Hex(status.adapter_address, 6) << " xmit=" << status.xmit_success
        << " recv=" << status.recv_success << " rxerr=" << status.iframe_recv_err
        << " txerr=" << status.iframe_xmit_err << " aborts=" << status.xmit_aborts
        << " duration=" << status.duration << " frmr=" << status.frmr_recv + status.frmr_xmit
        << " count=" << status.name_count << " names=";
    for (int i = 0; i < status.name_count; ++i) {
      NAME_BUFFER name;
      std::memcpy(&name, buffer.data() + sizeof status + i * sizeof name, sizeof name);
      out << (i ? "," : "") << Hex(name.name, NCBNAMSZ) << "/" << int(name.name_num) << "/"
          << Code(name.name_flags);
    }
  }
  return out.str();
}

}  // namespace

int main() {
  g_main_thread = std::this_thread::get_id();
  InstallNetbiosService(MakeNbtService());
  std::map<std::string, std::unique_ptr<Receive>> receives;
  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream in(line);
    std::string command;
    in >> command;
    std::ostringstream out;
    if (command == "quit") break;
    if (command == "lanas") {
      out << "lanas";
      for (int lana = 0; lana <= MAX_LANA; ++lana) {
        std::vector<UCHAR> buffer;
        WORD placed;
        if (Status(lana, STATUS_BUFFER_SIZE, buffer, placed) == NRC_GOODRET) out << " " << lana;
      }
    } else if (command == "status") {
      int lana;
      WORD length = STATUS_BUFFER_SIZE;
      in >> lana >> length;
      out << DescribeStatus(lana, length);
    } else if (command == "add" || command == "del") {
      int lana;
      std::string name;
      in >> lana >> name;
      NCB ncb{};
      ncb.ncb_command = command == "add" ? NCBADDGRNAME : NCBDELNAME;
      ncb.ncb_lana_num = static_cast<UCHAR>(lana);
      SetName(ncb.ncb_name, name);
      const UCHAR code = Netbios(&ncb);
      out << command << " " << Code(code);
      if (command == "add") out << " " << int(ncb.ncb_num);
    } else if (command == "send") {
      int lana, num;
      std::string destination, data;
      in >> lana >> num >> destination >> data;
      std::vector<UCHAR> bytes = Unhex(data);
      NCB ncb{};
      ncb.ncb_command = NCBDGSEND;
      ncb.ncb_lana_num = static_cast<UCHAR>(lana);
      ncb.ncb_num = static_cast<UCHAR>(num);
      SetName(ncb.ncb_callname, destination);
      ncb.ncb_buffer = bytes.data();
      ncb.ncb_length = static_cast<WORD>(bytes.size());
      out << "send " << Code(Netbios(&ncb));
    } else if (command == "recv") {
      std::string id;
      int lana, num, length;
      in >> id >> lana >> num >> length;
      auto receive = std::make_unique<Receive>();
      receive->ncb = NCB{};
      receive->ncb.ncb_command = NCBDGRECV | ASYNCH;
      receive->ncb.ncb_lana_num = static_cast<UCHAR>(lana);
      receive->ncb.ncb_num = static_cast<UCHAR>(num);
      receive->ncb.ncb_buffer = receive->buffer;
      receive->ncb.ncb_length = static_cast<WORD>(length);
      receive->ncb.ncb_post = OnPost;
      Receive* raw = receive.get();
      receives[id] = std::move(receive);
      out << "recv " << id << " " << Code(Netbios(&raw->ncb));
    } else if (command == "wait") {
      std::string id;
      int ms;
      in >> id >> ms;
      Receive& receive = *receives.at(id);
      std::unique_lock lock(g_mutex);
      if (g_posted.wait_for(lock, std::chrono::milliseconds(ms), [&] { return receive.posted; })) {
        const NCB& ncb = receive.ncb;
        out << "done " << id << " code=" << Code(ReadCompletion(ncb)) << " len=" << ncb.ncb_length
            << " from=" << Hex(ncb.ncb_callname, NCBNAMSZ)
            << " data=" << Hex(receive.buffer, ncb.ncb_length)
            << " thread=" << (receive.post_thread == g_main_thread ? "caller" : "service");
      } else {
        out << "timeout " << id;
      }
    } else if (command == "cancel") {
      std::string id;
      int lana;
      in >> id >> lana;
      NCB ncb{};
      ncb.ncb_command = NCBCANCEL;
      ncb.ncb_lana_num = static_cast<UCHAR>(lana);
      ncb.ncb_buffer = reinterpret_cast<UCHAR*>(&receives.at(id)->ncb);
      out << "cancel " << Code(Netbios(&ncb));
    } else {
      out << "unknown " << command;
    }
    std::cout << out.str() << std::endl;
  }
  // Cancel what is still outstanding so that no post routine runs on a freed block.
  for (auto& [id, receive] : receives) {
    NCB ncb{};
    ncb.ncb_command = NCBCANCEL;
    ncb.ncb_lana_num = receive->ncb.ncb_lana_num;
    ncb.ncb_buffer = reinterpret_cast<UCHAR*>(&receive->ncb);
    Netbios(&ncb);
  }
  InstallNetbiosService(nullptr);
  return 0;
}

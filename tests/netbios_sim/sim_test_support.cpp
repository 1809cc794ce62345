#include "tests/netbios_sim/sim_test_support.h"

#include <algorithm>
#include <mutex>

namespace {

std::mutex g_posts_mutex;
std::vector<PostRecord> g_posts;

NCB NameCommand(UCHAR command, UCHAR lana, const SimName& name) {
  NCB ncb{};
  ncb.ncb_command = command;
  ncb.ncb_lana_num = lana;
  std::copy(name.begin(), name.end(), ncb.ncb_name);
  return ncb;
}

int BoundStation() {
  const int station = SimNetbios::BindThreadToStation(0);
  SimNetbios::BindThreadToStation(station);
  return station;
}

}  // namespace

SimName NameFrom(std::string_view text, UCHAR suffix) {
  SimName name;
  name.fill(' ');
  std::copy_n(text.begin(), std::min<std::size_t>(text.size(), NCBNAMSZ - 1), name.begin());
  name[NCBNAMSZ - 1] = suffix;
  return name;
}

NAME_BUFFER NameEntry(const SimName& name, UCHAR number, UCHAR flags) {
  NAME_BUFFER entry{};
  std::copy(name.begin(), name.end(), entry.name);
  entry.name_num = number;
  entry.name_flags = flags;
  return entry;
}

std::vector<UCHAR> Pattern(std::size_t length) {
  std::vector<UCHAR> bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<UCHAR>(i * 7 + 3);
  return bytes;
}

void RecordPost(NCB* ncb) {
  PostRecord record{ncb, ReadCompletion(*ncb), std::this_thread::get_id(), BoundStation()};
  std::lock_guard lock(g_posts_mutex);
  g_posts.push_back(record);
}

std::vector<PostRecord> TakePosts() {
  std::lock_guard lock(g_posts_mutex);
  return std::exchange(g_posts, {});
}

const SimName SimNetbiosTest::kGroup = NameFrom("WATCHERS", 0x00);

SimNetbiosTest::SimNetbiosTest() {
  auto sim = std::make_unique<SimNetbios>();
  sim_ = sim.get();
  previous_ = InstallNetbiosService(std::move(sim));
  TakePosts();
}

SimNetbiosTest::~SimNetbiosTest() {
  InstallNetbiosService(std::move(previous_));
  SimNetbios::BindThreadToStation(0);
}

void SimNetbiosTest::AddAdapterWithGroup(SimAdapterId id, int segment, UCHAR group_number) {
  const auto tail = static_cast<UCHAR>(id.station * 16 + id.lana);
  sim_->AddAdapter(id, segment, {0x00, 0x60, 0x8C, 0x12, 0xAB, tail});
  sim_->SetNames(id, {NameEntry(kGroup, group_number, GROUP_NAME | REGISTERED)});
}

UCHAR SimNetbiosTest::AddGroupName(UCHAR lana, const SimName& name, UCHAR* number) {
  NCB ncb = NameCommand(NCBADDGRNAME, lana, name);
  const UCHAR code = Netbios(&ncb);
  EXPECT_EQ(code, ReadCompletion(ncb));
  *number = ncb.ncb_num;
  return code;
}

UCHAR SimNetbiosTest::DeleteName(UCHAR lana, const SimName& name) {
  NCB ncb = NameCommand(NCBDELNAME, lana, name);
  return Netbios(&ncb);
}

UCHAR SimNetbiosTest::Send(UCHAR lana, UCHAR number, const SimName& destination,
                           std::span<const UCHAR> data) {
  std::vector<UCHAR> buffer(data.begin(), data.end());
  NCB ncb{};
  ncb.ncb_command = NCBDGSEND;
  ncb.ncb_lana_num = lana;
  ncb.ncb_num = number;
  ncb.ncb_buffer = buffer.data();
  ncb.ncb_length = static_cast<WORD>(buffer.size());
  std::copy(destination.begin(), destination.end(), ncb.ncb_callname);
  return Netbios(&ncb);
}

UCHAR SimNetbiosTest::PostReceive(NCB& ncb, UCHAR lana, UCHAR number, UCHAR* buffer, WORD length) {
  ncb = NCB{};
  ncb.ncb_command = NCBDGRECV | ASYNCH;
  ncb.ncb_lana_num = lana;
  ncb.ncb_num = number;
  ncb.ncb_buffer = buffer;
  ncb.ncb_length = length;
  ncb.ncb_post = RecordPost;
  return Netbios(&ncb);
}

UCHAR SimNetbiosTest::Cancel(UCHAR lana, NCB* target) {
  NCB ncb{};
  ncb.ncb_command = NCBCANCEL;
  ncb.ncb_lana_num = lana;
  ncb.ncb_buffer = reinterpret_cast<UCHAR*>(target);
  return Netbios(&ncb);
}

testing::AssertionResult SimNetbiosTest::PostedOnce(const NCB* ncb, UCHAR code) {
  sim_->WaitIdle();
  const auto posts = TakePosts();
  if (posts.size() != 1) return testing::AssertionFailure() << posts.size() << " posts";
  const PostRecord& post = posts[0];
  if (post.ncb != ncb) return testing::AssertionFailure() << "posted another block";
  if (post.code != code) {
    return testing::AssertionFailure() << "completed with 0x" << std::hex << int{post.code};
  }
  if (post.thread == std::this_thread::get_id()) {
    return testing::AssertionFailure() << "posted on the caller's thread";
  }
  return testing::AssertionSuccess();
}

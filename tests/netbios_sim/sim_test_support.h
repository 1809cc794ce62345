// Helpers for the simulated service's tests: a fixture that installs a fresh service, names,
// control blocks and a log of post routine calls.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <span>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/netbios/sim/sim_netbios.h"

// The text padded with spaces to 15 bytes, then the suffix byte.
SimName NameFrom(std::string_view text, UCHAR suffix = 0x00);

NAME_BUFFER NameEntry(const SimName& name, UCHAR number, UCHAR flags);

std::vector<UCHAR> Pattern(std::size_t length);

struct PostRecord {
  NCB* ncb;
  UCHAR code;
  std::thread::id thread;
  int station;  // the station the post routine's thread was bound to
};

// A post routine that records each call.
void RecordPost(NCB* ncb);
std::vector<PostRecord> TakePosts();

class SimNetbiosTest : public ::testing::Test {
 protected:
  SimNetbiosTest();
  ~SimNetbiosTest() override;

  // Station 0, LANA 0, segment 1, with the group name kGroup as number `group_number`.
  static constexpr SimAdapterId kLana0{0, 0};
  static constexpr int kSegment = 1;
  static const SimName kGroup;

  void AddAdapterWithGroup(SimAdapterId id, int segment, UCHAR group_number);

  UCHAR AddGroupName(UCHAR lana, const SimName& name, UCHAR* number);
  UCHAR DeleteName(UCHAR lana, const SimName& name);
  UCHAR Send(UCHAR lana, UCHAR number, const SimName& destination, std::span<const UCHAR> data);
  UCHAR PostReceive(NCB& ncb, UCHAR lana, UCHAR number, UCHAR* buffer, WORD length);
  UCHAR Cancel(UCHAR lana, NCB* target);

  // Waits until the service is idle, then checks that since the last look exactly one post
  // routine ran: for ncb, with code, on a thread other than the caller's.
  testing::AssertionResult PostedOnce(const NCB* ncb, UCHAR code);

  SimNetbios* sim_;

 private:
  std::unique_ptr<NetbiosService> previous_;
};

// The headless program end to end: what it shows and prints without an adapter and on the
// demonstration LAN, how it ends, and how a second copy defers to the first. Every copy runs
// in a fresh network namespace (unshare -n), so nothing reaches this machine's network.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "tests/common/subprocess.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool WaitFor(const std::function<bool()>& condition, int timeout_ms) {
  auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  while (Clock::now() < deadline) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return condition();
}

// CPU time (user + system) of a process in clock ticks.
long CpuTicks(pid_t pid) {
  std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
  auto close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(stat.substr(close + 2));
  std::string field;
  long utime = 0, stime = 0;
  for (int i = 3; fields >> field; ++i) {
    if (i == 14) utime = std::stol(field);
    if (i == 15) {
      stime = std::stol(field);
      break;
    }
  }
  return utime + stime;
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
  return n;
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to give each copy a network namespace";
    dir_ = std::filesystem::temp_directory_path() /
           ("pellorin-program-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // The program headless in a new network namespace, with extra environment settings.
  std::unique_ptr<Subprocess> Start(const std::vector<std::string>& env,
                                    const std::vector<std::string>& ns_prefix = {"unshare", "-n"}) {
    std::vector<std::string> argv = ns_prefix;
    argv.insert(argv.end(), {"env", "-u", "NB_SERVICE", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY",
                             "UI_HEADLESS=1"});
    argv.insert(argv.end(), env.begin(), env.end());
    argv.push_back(PELLORIN_BINARY);
    return std::make_unique<Subprocess>(argv);
  }

  std::string Snapshot() const { return ReadFile(dir_ + "/snapshot"); }
  std::string SnapshotSetting() const { return "UI_SNAPSHOT=" + dir_ + "/snapshot"; }

  std::string dir_;
};

TEST_F(ProgramTest, WithoutAnAdapterItSaysSoStaysUpIdleAndEndsOnSigterm) {
  auto program = Start({SnapshotSetting()});
  ASSERT_TRUE(program->Started());
  auto line = program->ReadLine(Subprocess::Stream::kErr, 5000);
  ASSERT_TRUE(line.has_value());
  EXPECT_EQ(*line, "No Holmsgard Redirector name is found in this machine.");
  EXPECT_EQ(program->ReadLine(Subprocess::Stream::kErr, 1000),
            "  Please make sure Holmsgard is running.");
  // The splash goes within about a second; the monitor window stays, without columns or rows.
  EXPECT_TRUE(WaitFor([&] { return Snapshot() == "window\tPellorin\tshown\ncolumns\n"; }, 3000))
      << Snapshot();

  long before = CpuTicks(program->Pid());
  std::this_thread::sleep_for(std::chrono::seconds(3));
  long used = CpuTicks(program->Pid()) - before;
  // Under 1% of a core: at most 3 ticks of 3 s at 100 ticks per second.
  EXPECT_LE(used, 3 * sysconf(_SC_CLK_TCK) / 100) << "ticks used while idle: " << used;

  program->Signal(SIGTERM);
  EXPECT_EQ(program->CloseAndWait(5000), 0);
}

TEST_F(ProgramTest, OnTheDemonstrationLanItListsItselfAndThreeStationsWithinThreeSeconds) {
  auto start = Clock::now();
  auto program = Start({"NB_SERVICE=sim:3", SnapshotSetting()});
  ASSERT_TRUE(program->Started());
  bool listed = WaitFor(
      [&] {
        std::string s = Snapshot();
        return Count(s, "\nrow\t") == 4 && Count(s, "\tLocal\t") == 1 &&
               Count(s, "\tActive\t") == 3;
      },
      3000);
  auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  ASSERT_TRUE(listed) << Snapshot();
  std::string s = Snapshot();
  EXPECT_NE(s.find("columns\t#A\tName\tNode Address\tMinutes Running\tStatus\tError\n"),
            std::string::npos);
  EXPECT_NE(s.find("\t02004C4F4341\t0\tLocal\t"), std::string::npos) << s;
  std::cout << "four rows after " << took.count() << " ms\n";
  program->Signal(SIGTERM);
  EXPECT_EQ(program->CloseAndWait(5000), 0);
}

TEST_F(ProgramTest, ASecondCopyExitsAtOnceWithoutShowingAnything) {
  auto first = Start({"NB_SERVICE=sim:0", SnapshotSetting()});
  ASSERT_TRUE(
      WaitFor([&] { return Snapshot().find("window\tPellorin\t") != std::string::npos; }, 5000));
  // The second copy joins the first one's network namespace, where its window can be found.
  auto start = Clock::now();
  auto second = Start({"NB_SERVICE=sim:0", "UI_SNAPSHOT=" + dir_ + "/second"},
                      {"nsenter", "-t", std::to_string(first->Pid()), "-n"});
  int status = second->CloseAndWait(5000);
  auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  EXPECT_EQ(status, 0);
  // At once: a plain build takes about 0.1 s, one under ThreadSanitizer about 1 s.
  EXPECT_LT(took.count(), 3000);
  EXPECT_EQ(second->Rest(Subprocess::Stream::kErr), "");
  EXPECT_EQ(ReadFile(dir_ + "/second"), "") << "the second copy showed a window";
  first->Signal(SIGTERM);
  EXPECT_EQ(first->CloseAndWait(5000), 0);
}

TEST_F(ProgramTest, AnUnwritableSnapshotIsOneLineAndTheProgramGoesOn) {
  auto program = Start({"NB_SERVICE=sim:1", "UI_SNAPSHOT=/nonexistent-dir/snapshot"});
  auto line = program->ReadLine(Subprocess::Stream::kErr, 5000);
  ASSERT_TRUE(line.has_value());
  EXPECT_NE(line->find("/nonexistent-dir/snapshot"), std::string::npos) << *line;
  EXPECT_FALSE(program->ReadLine(Subprocess::Stream::kErr, 2000).has_value());
  program->Signal(SIGTERM);
  EXPECT_EQ(program->CloseAndWait(5000), 0);
}

TEST_F(ProgramTest, AnUnknownServiceSettingIsRefusedWithAReason) {
  for (const char* value : {"sim:65", "sim:", "sim:x", "nbt", "sim:-1"}) {
    auto program = Start({std::string("NB_SERVICE=") + value});
    EXPECT_EQ(program->CloseAndWait(5000), 2) << value;
    EXPECT_NE(program->Rest(Subprocess::Stream::kErr).find("NB_SERVICE"), std::string::npos)
        << value;
  }
}

}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/gamemode.h"
#include "tests/support/headless_game.h"

namespace {

std::vector<std::string>* gLog = nullptr;

// The kernel the logging modes present through: its components were never started.
TKernel* Silent() {
  static vexa_test::SilentKernel silent;
  return &silent.Kernel;
}

// A mode that logs its protocol calls; Finished in the update given by finishAt (0 = first).
class LoggingMode : public TGameMode {
 public:
  LoggingMode(TGameMode* parent, std::string name, int finishAt)
      : TGameMode(parent, Silent(), nullptr), Name(std::move(name)), FinishAt(finishAt) {}
  ~LoggingMode() override {
    if (gLog) gLog->push_back(Name + ".destroy");
  }
  void Init() override {
    gLog->push_back(Name + ".Init");
    TGameMode::Init();
  }
  void Move(int32_t) override {
    gLog->push_back(Name + ".Move");
    if (Frames == FinishAt) Finished = true;
  }
  void Draw() override { gLog->push_back(Name + ".Draw"); }
  void Leave() override { gLog->push_back(Name + ".Leave"); }
  std::string Name;
  int FinishAt;
};

TEST(GameMode, ChildFinishingInFirstUpdateRunsWholeProtocolThenIsDeleted) {
  std::vector<std::string> log;
  gLog = &log;
  LoggingMode root(nullptr, "root", -1);
  root.Child = new LoggingMode(&root, "child", 0);
  root.Update(20);
  EXPECT_EQ(log, (std::vector<std::string>{"child.Init", "child.Move", "child.Draw",
                                           "child.Leave", "child.destroy"}));
  EXPECT_EQ(root.Child, nullptr);
  EXPECT_EQ(root.Elapsed, 0);  // the parent did not run itself
  log.clear();
  root.Update(20);  // the parent's own turn comes on the next tick
  EXPECT_EQ(log, (std::vector<std::string>{"root.Init", "root.Move", "root.Draw"}));
  EXPECT_EQ(root.Elapsed, 20);
  EXPECT_EQ(root.Frames, 1);
  gLog = nullptr;
}

TEST(GameMode, PaintGoesToTheDeepestModeOnly) {
  std::vector<std::string> log;
  gLog = &log;
  LoggingMode root(nullptr, "root", -1);
  root.Child = new LoggingMode(&root, "child", 5);
  root.Paint();
  EXPECT_EQ(log, (std::vector<std::string>{"child.Draw"}));
  EXPECT_EQ(root.Deepest(), root.Child);
  log.clear();
  root.DeleteChild();
  gLog = nullptr;
}

TEST(GameMode, ModeThatDoesNotDrawNeverPresents) {
  TGameMode m(nullptr, nullptr, nullptr);
  EXPECT_TRUE(m.AutoPresent);
  m.Update(20);
  EXPECT_FALSE(m.AutoPresent);
  EXPECT_TRUE(m.Initialized);
}

TEST(GameMode, BlinkAndAnimFrame) {
  TGameMode m(nullptr, nullptr, nullptr);
  auto at = [&](int e) {
    m.Elapsed = e;
    return m.Blink(320);
  };
  EXPECT_TRUE(at(0));
  EXPECT_TRUE(at(319));
  EXPECT_FALSE(at(320));
  EXPECT_FALSE(at(639));
  EXPECT_TRUE(at(640));
  auto frame = [&](int e) {
    m.Elapsed = e;
    return m.AnimFrame(200, 4);
  };
  EXPECT_EQ(frame(199), 0);
  EXPECT_EQ(frame(200), 1);
  EXPECT_EQ(frame(799), 3);
  EXPECT_EQ(frame(800), 0);
}

}  // namespace

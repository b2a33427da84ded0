#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

struct RunResult {
  int Status = -1;
  std::string Out;
};

// Runs vexa-replay in a fresh directory with the given script text.
RunResult Replay(const std::string& script, const std::string& args = "") {
  char tmpl[] = "/tmp/vexa-replay-XXXXXX";
  std::string dir = mkdtemp(tmpl);
  {
    std::ofstream f(dir + "/script.txt");
    f << script;
  }
  std::string cmd = "cd " + dir + " && " + VEXA_REPLAY_EXE + " " + args + " script.txt 2>&1";
  RunResult r;
  FILE* p = popen(cmd.c_str(), "r");
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.Out.append(buf, n);
  int st = pclose(p);
  r.Status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  std::system(("rm -rf " + dir).c_str());
  return r;
}

TEST(Replay, RunsAScriptAndDumpsState) {
  RunResult r = Replay("# smoke\nwait 5\ndump\ntap ENTER\nwait 1\ndump\n", "--seed 1");
  EXPECT_EQ(r.Status, 0) << r.Out;
  EXPECT_NE(r.Out.find("tick=5 mode="), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("tick=7 mode="), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find(" Rank0=100000/9/1000/0/YEW"), std::string::npos) << r.Out;
}

TEST(Replay, UnreadableLineExitsTwoNamingTheLine) {
  RunResult r = Replay("wait 1\n\npress Q\n");
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Out.find(":3:"), std::string::npos) << r.Out;
  EXPECT_EQ(Replay("tap NOPE\n").Status, 2);
  EXPECT_EQ(Replay("shot ../escape\n").Status, 2);
  EXPECT_EQ(Replay("wait 1\n", "--dt 33").Status, 2);
}

}  // namespace

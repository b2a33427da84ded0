// Every test process keeps its save file in a private temporary folder, so no test ever
// touches a player's own vexa.dat. Tests that look at the file read savefile::Path().
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "game/savefile.h"

namespace {

class SaveFileSandbox : public ::testing::Environment {
 public:
  void SetUp() override {
    char tmpl[] = "/tmp/vexa-tests-XXXXXX";
    if (mkdtemp(tmpl)) Dir = tmpl;
    savefile::SetPathOverride(Dir.empty() ? "/nonexistent/vexa.dat" : Dir + "/vexa.dat");
  }
  void TearDown() override {
    if (!Dir.empty()) std::system(("rm -rf " + Dir).c_str());
  }
  std::string Dir;
};

[[maybe_unused]] ::testing::Environment* const kSandbox =
    ::testing::AddGlobalTestEnvironment(new SaveFileSandbox);

}  // namespace

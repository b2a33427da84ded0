// Every test process keeps its save file and settings in a private temporary folder, so no
// test ever touches a player's own files. Tests that look at the file read savefile::Path().
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/headless_game.h"

namespace {

class PrivateFiles : public ::testing::Environment {
 public:
  void SetUp() override { Folder = std::make_unique<vexa_test::PrivateFolder>(); }
  void TearDown() override { Folder.reset(); }
  std::unique_ptr<vexa_test::PrivateFolder> Folder;
};

[[maybe_unused]] ::testing::Environment* const kPrivateFiles =
    ::testing::AddGlobalTestEnvironment(new PrivateFiles);

}  // namespace

#pragma once
// The former name of the replay helpers, kept only while tests/play/screen_replay_test.cpp
// still includes it; everything lives in tests/support/headless_game.h.
#include "tests/support/headless_game.h"

namespace replay_test {

using vexa_test::I32At;
using vexa_test::ReplayRun;
using vexa_test::ShotRegion;
using vexa_test::Value;

struct ReplayDir : vexa_test::ReplayFolder {
  ReplayRun Play(const std::string& script) const { return ReplayFolder::Play(script, 7); }
  std::vector<uint8_t> File(const std::string& name) const { return Read(name); }
};

}  // namespace replay_test

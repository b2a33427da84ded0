#pragma once
// Shared set-up of the game-screen tests: a kernel over components that were never started
// (each call answers false), a GameData, and a game screen whose sounds, music and save are
// recorded instead of played.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "engine/kernel.h"
#include "engine/random.h"
#include "game/gamedata.h"
#include "play/faceactor.h"
#include "play/gamemain.h"
#include "tests/play/field_fixture.h"
#include "tests/support/headless_game.h"

class TRecordingGameMain : public TGameMainMode {
 public:
  using TGameMainMode::TGameMainMode;

  void PlaySound(const char* key) override { Sounds.emplace_back(key); }
  void StopSound(const char* key) override { Stopped.emplace_back(key); }
  bool IsSoundPlaying(const char*) override { return SoundStillPlaying; }
  void StartMusic() override { ++MusicStarts; }
  void StopMusic() override { ++MusicStops; }
  void SaveProgress() override { ++Saves; }

  int Count(const std::string& key) const {
    return static_cast<int>(std::count(Sounds.begin(), Sounds.end(), key));
  }

  std::vector<std::string> Sounds;
  std::vector<std::string> Stopped;
  bool SoundStillPlaying = false;
  int MusicStarts = 0;
  int MusicStops = 0;
  int Saves = 0;
};

class PlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vexa::FixRandomSeed(20240601u);
    SetDefaultRanking(data);
  }
  void TearDown() override {
    game.reset();
    vexa::UnfixRandomSeed();
  }

  // A started game screen (Init has run) of the given type and difficulty.
  TRecordingGameMain& Start(uint8_t gameType = 0, uint8_t difficulty = 0) {
    data.GameType = gameType;
    data.Difficulty = difficulty;
    game = std::make_unique<TRecordingGameMain>(nullptr, &kernel, &data);
    game->Init();
    return *game;
  }

  // Puts the rows into the game's well with nothing in motion (see field_test::SetWell).
  void SetWell(const std::vector<std::string>& rows, const std::string& next = "ZZZZZZ") {
    field_test::SetWell(game->Field, rows, next);
  }

  // One play tick with the given buttons newly pressed (and repeating).
  void Tick(int dt = 20, uint16_t pushed = 0, uint16_t repeat = 0) {
    kernel.Pushed = pushed;
    kernel.Repeat = static_cast<uint16_t>(repeat | (pushed & 0x0F));
    game->PlayTick(dt);
    game->Frames += 1;
    game->Elapsed += dt;
    kernel.Pushed = 0;
    kernel.Repeat = 0;
  }
  void Ticks(int n, int dt = 20) {
    for (int i = 0; i < n; ++i) Tick(dt);
  }

  std::string Row(int r) const { return field_test::Row(game->Field, r); }

  vexa_test::SilentKernel silent;
  TKernel& kernel = silent.Kernel;
  GameData data;
  std::unique_ptr<TRecordingGameMain> game;
};

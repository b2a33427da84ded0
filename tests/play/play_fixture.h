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
#include "media/kordraw.h"
#include "media/korinput.h"
#include "media/kormidi.h"
#include "media/korsound.h"
#include "play/faceactor.h"
#include "play/gamemain.h"

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

  // Replaces rows 0..9 by the given rows (top to bottom, the last one is row 9; '.' is an
  // empty cell) and the next row by `next`. Flags, groups, timers, falls, the chain and
  // the swap are cleared.
  void SetWell(std::vector<std::string> rows, const std::string& next = "ZZZZZZ") {
    TGameMainMode& g = *game;
    while (rows.size() < 10) rows.insert(rows.begin(), "......");
    rows.push_back(next);
    for (int r = 0; r < kFieldRows; ++r)
      for (int c = 0; c < kFieldCols; ++c)
        g.Field.Letters[r][c] = static_cast<int16_t>(rows[r][c] == '.' ? kEmpty : rows[r][c] - 'A');
    ClearMotion(g.Field);
  }

  // Clears everything in motion (flags, groups, erase timers, falls, the chain and the swap)
  // and leaves the letters, the cursor and the push-up as they are.
  static void ClearMotion(TField& f) {
    for (int r = 0; r < kFieldRows; ++r) {
      for (int c = 0; c < kFieldCols; ++c) {
        f.Flags[r][c] = 0;
        f.Groups[r][c] = 0;
        f.EraseTimers[r][c] = 0;
      }
    }
    for (TFallRecord& fall : f.Falls) fall = TFallRecord();
    f.Chain = 0;
    f.Falling = false;
    f.Erasing = 0;
    f.SwapTimer = 0;
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

  // Row r as text ('.' empty).
  std::string Row(int r) const {
    std::string s;
    for (int c = 0; c < kFieldCols; ++c) {
      int l = game->Field.Letters[r][c];
      s += l == kEmpty ? '.' : static_cast<char>('A' + l);
    }
    return s;
  }
  int ActiveFalls() const {
    int n = 0;
    for (const TFallRecord& f : game->Field.Falls) n += f.Active ? 1 : 0;
    return n;
  }
  uint16_t FlagsAt(int col, int row) const { return game->Field.Flags[row][col]; }

  TKorDraw draw;
  TKorSound sound;
  TKorInput input;
  TKorMidi midi;
  TKernel kernel{&draw, &sound, &input, &midi};
  GameData data;
  std::unique_ptr<TRecordingGameMain> game;
};

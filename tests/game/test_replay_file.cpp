// The replay file: what is written reads back the same, and every damaged file is refused
// with a message instead of being played wrong.
#include <gtest/gtest.h>

#include <string>

#include "game/replay.h"

namespace {

TReplay SamplePuzzle() {
  TReplay r;
  r.GameVersion = "1.0";
  r.GameType = 1;
  r.Stage = 12;
  r.Retries = 2;
  r.StageTime = 4560;
  r.StageData = "...... ...... ...... ...... ...... ...... ...... ..A... ..B... .CAB..";
  r.Seed = 4000000000u;
  r.TickMs = 20;
  r.HeldBefore = 0x10;
  r.RepeatWait = 120;
  r.Buttons = {0, 0, 0, 0x10, 0x10, 0, 0x7F, 0x01, 0x09, 0x09, 0x09, 0};
  r.Date = "2026-12-08T12:00:00Z";
  r.Name = "VEXA";
  r.Score = 1234;
  r.Level = 4;
  r.Blocks = 57;
  r.Ticks = 11;
  r.ChainRecord = 3;
  r.End = TReplayEnd::Cleared;
  return r;
}

}  // namespace

TEST(ReplayFile, WhatIsWrittenReadsBackTheSame) {
  const TReplay r = SamplePuzzle();
  const std::string text = WriteReplay(r);
  EXPECT_NE(text.find("\nbuttons\n-3a2-udlrabe u ur3-\n"), std::string::npos) << text;
  TReplay back;
  std::string error;
  ASSERT_TRUE(ParseReplay(text, back, error)) << error;
  EXPECT_EQ(WriteReplay(back), text);
  EXPECT_EQ(back.Buttons, r.Buttons);
  EXPECT_EQ(back.Seed, r.Seed);
  EXPECT_EQ(back.Stage, 12);
  EXPECT_EQ(back.Level, 4);
  EXPECT_EQ(back.End, TReplayEnd::Cleared);

  uint8_t cells[TReplay::kStageCells];
  ASSERT_TRUE(StageCellsFromText(back.StageData, cells));
  EXPECT_EQ(cells[0], 26);
  EXPECT_EQ(cells[57], 1);  // B
  EXPECT_EQ(StageCellsToText(cells), r.StageData);
}

TEST(ReplayFile, DamagedFilesAreRefusedWithAMessage) {
  const std::string good = WriteReplay(SamplePuzzle());
  const std::string header = good.substr(0, good.find("buttons\n"));
  const struct {
    std::string text;
    const char* says;
  } cases[] = {
      {"", "empty"},
      {"hello\n", "not a replay"},
      {"vexa-replay 2\n" + good.substr(good.find('\n') + 1), "format 2"},
      {header, "ends before its buttons"},
      {header + "buttons\n-3 x2\n", "line"},
      {header + "buttons\naa\n", "line"},
      {header + "buttons\na0\n", "line"},
      {header + "buttons\n-99999999999999999999\n", "line"},
      {header + "buttons\n-540000 a\n", "longer than a game"},
      {"vexa-replay 1\nseed = -1\nbuttons\n", "\"seed\""},
      {"vexa-replay 1\ntick_ms = 0\nbuttons\n", "\"tick_ms\""},
      {"vexa-replay 1\ngame = puzzle\nbuttons\n", "no stage"},
      {"vexa-replay 1\nstage_cells = ABC\nbuttons\n", "\"stage_cells\""},
      {"vexa-replay 1\nname = " + std::string(300, 'A') + "\nbuttons\n", "too long"},
      {"vexa-replay 1\njust words\nbuttons\n", "key = value"},
      {std::string(TReplay::kMaxFileSize + 1, '-'), "too large"},
  };
  for (const auto& c : cases) {
    TReplay out;
    out.Score = 99;
    std::string error;
    EXPECT_FALSE(ParseReplay(c.text, out, error)) << c.says;
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
    EXPECT_EQ(out.Score, 99) << "a refused file leaves the replay as it was";
  }
}

TEST(ReplayFile, FilesAreWrittenWholeAndReadBack) {
  const std::string dir = ::testing::TempDir();
  const std::string path = dir + "/sample.vexa-replay";
  ASSERT_TRUE(SaveReplayFile(path, SamplePuzzle()));
  TReplay back;
  std::string error;
  ASSERT_TRUE(LoadReplayFile(path, back, error)) << error;
  EXPECT_EQ(back.Name, "VEXA");
  EXPECT_FALSE(LoadReplayFile(dir + "/missing.vexa-replay", back, error));
  EXPECT_FALSE(SaveReplayFile(dir + "/no/such/folder/x.vexa-replay", SamplePuzzle()));
  std::remove(path.c_str());
}

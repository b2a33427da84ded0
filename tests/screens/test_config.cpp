#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "media/kormidi.h"
#include "platform/audio_device.h"
#include "platform/midi_out.h"
#include "game/savefile.h"
#include "screens/config.h"
#include "tests/support/headless_game.h"

namespace {

using namespace vexa_test;

struct ConfigScreen : DrawnGame {
  void SetUp() override {
    DrawnGame::SetUp();
    // Block and back pictures under their resource names (found as files when the program
    // carries none).
    for (int i = 1; i <= 5; ++i)
      WriteSolidBitmap("BLOCK" + std::to_string(i), 128, 32, Rgb{uint8_t(40 * i), 0, 0});
    WriteSolidBitmap("BACK1", 512, 384, Rgb{0, 0, 90});
    WriteSolidBitmap("BACK2", 512, 384, Rgb{0, 90, 0});
    // What the catalogue registered at start.
    Root->RegisterCells("ブロック", Data.BlockType);
    Root->RegisterImage("背景", Data.BackType);
  }
  // After the screen has gone: GameData holds these options, the game's block and back
  // sprites show them, and the screen's samples are gone.
  void ExpectLeftWith(int32_t block, int32_t back, int32_t bgm, int32_t control) {
    EXPECT_EQ(Data.BlockType, block);
    EXPECT_EQ(Data.BackType, back);
    EXPECT_EQ(Data.BgmType, bgm);
    EXPECT_EQ(Data.ControlType, control);
    EXPECT_EQ(SpriteRes("ブロック"), "BLOCK" + std::to_string(block + 1));
    EXPECT_EQ(SpriteRes("背景"), "BACK" + std::to_string(back + 1));
    EXPECT_EQ(DrawC.GetSpriteSurf("見本ブロック"), nullptr);
    EXPECT_EQ(DrawC.GetSpriteSurf("見本背景"), nullptr);
  }
  TConfigMode* Open() {
    TConfigMode* c = &MakeChild<TConfigMode>();
    Tick();  // Init and the first fade step
    return c;
  }
};

TEST_F(ConfigScreen, OpensOnBlockWithTheStoredValuesAndShowsTheirSamples) {
  Data.BlockType = 2;
  Data.BackType = 1;
  Data.BgmType = 2;
  Data.ControlType = 1;
  TConfigMode* c = Open();
  EXPECT_STREQ(c->ClassName(), "TConfigMode");
  EXPECT_EQ(c->Item, 0);
  EXPECT_EQ(std::vector<int32_t>(c->Values, c->Values + 4), (std::vector<int32_t>{2, 1, 2, 1}));
  EXPECT_EQ(std::vector<int32_t>(c->Counts, c->Counts + 4), (std::vector<int32_t>{5, 2, 3, 2}));
  EXPECT_EQ(SpriteRes("見本ブロック"), "BLOCK3");
  EXPECT_EQ(SpriteRes("見本背景"), "BACK2");
  EXPECT_EQ(Kernel->FadeLevel, 255 - 40);
  EXPECT_FALSE(Kernel->Blackout);
}

TEST_F(ConfigScreen, RowsWrapWithRepeatAndValuesWrapBothWaysWithLivePreview) {
  TConfigMode* c = Open();
  Tap(keycode::Left);  // BLOCK 0 -> 4
  EXPECT_EQ(c->Values[0], 4);
  EXPECT_EQ(SpriteRes("見本ブロック"), "BLOCK5");
  Tap(keycode::Right);  // 4 -> 0
  EXPECT_EQ(c->Values[0], 0);
  EXPECT_EQ(SpriteRes("見本ブロック"), "BLOCK1");

  Tap(keycode::Up);  // BLOCK -> CONTROL
  EXPECT_EQ(c->Item, 3);
  Tap(keycode::Down);
  EXPECT_EQ(c->Item, 0);
  Tap(keycode::Down);  // BACK GRAPHIC
  Tap(keycode::Right);
  EXPECT_EQ(c->Values[1], 1);
  EXPECT_EQ(SpriteRes("見本背景"), "BACK2");
  Tap(keycode::Down);  // BGM: 0 -> 2 -> 0
  Tap(keycode::Left);
  EXPECT_EQ(c->Values[2], 2);
  Tap(keycode::Right);
  EXPECT_EQ(c->Values[2], 0);

  // Held down: the row moves on the press and again by auto-repeat; a held left/right
  // changes the value only once.
  Wnd->Input().SetKey(keycode::Down, true);
  Ticks(12);
  Wnd->Input().SetKey(keycode::Down, false);
  Tick();
  EXPECT_EQ(c->Item, (2 + 2) % 4);  // the press and one repeat after 200 ms
  Wnd->Input().SetKey(keycode::Right, true);
  Ticks(30);
  Wnd->Input().SetKey(keycode::Right, false);
  Tick();
  EXPECT_EQ(c->Values[0], 1);
  // Nothing of this is in force yet.
  EXPECT_EQ(Data.BlockType, 0);
  EXPECT_EQ(Data.BackType, 0);
  EXPECT_EQ(SpriteRes("ブロック"), "BLOCK1");
  EXPECT_EQ(SpriteRes("背景"), "BACK1");
}

TEST_F(ConfigScreen, CancelAfterChangingEveryRowLeavesEverythingAsItWas) {
  Root->WriteSaveData();
  const std::vector<uint8_t> before = SaveBytes();
  ASSERT_EQ(before.size(), savefile::kSize);
  const InputState keysBefore = Input.KeyCodes;
  TConfigMode* c = Open();
  for (int row = 0; row < 4; ++row) {
    Tap(keycode::Right);
    Tap(keycode::Down);
  }
  EXPECT_EQ(std::vector<int32_t>(c->Values, c->Values + 4), (std::vector<int32_t>{1, 1, 1, 1}));
  Tap(keycode::X);
  RunUntilGone();
  ASSERT_EQ(Root->Child, nullptr);
  ExpectLeftWith(0, 0, 0, 0);
  EXPECT_EQ(SaveBytes(), before);
  EXPECT_EQ(std::memcmp(&Input.KeyCodes, &keysBefore, sizeof keysBefore), 0);
  EXPECT_TRUE(Kernel->Blackout);
  EXPECT_EQ(Kernel->FadeLevel, 255);
}

TEST_F(ConfigScreen, CancelWithoutAFileWritesNone) {
  Open();
  Tap(keycode::Right);
  Tap(keycode::X);
  RunUntilGone();
  EXPECT_FALSE(std::filesystem::exists(SavePath));
}

TEST_F(ConfigScreen, DecideAppliesSavesAndOnlyThenSwitchesTheKeys) {
  TConfigMode* c = Open();
  Tap(keycode::Left);  // BLOCK 4
  Tap(keycode::Down);
  Tap(keycode::Right);  // TYPE B
  Tap(keycode::Down);
  Tap(keycode::Right);  // BGM B
  Tap(keycode::Down);
  Tap(keycode::Right);  // SPACE / V
  // Not in force inside the screen: SPACE does nothing, V does not cancel, Z still decides.
  Tap(keycode::Space);
  Tap(keycode::V);
  EXPECT_FALSE(c->Decided);
  EXPECT_FALSE(c->Cancelled);
  Tap(keycode::Z);
  EXPECT_TRUE(c->Decided);
  EXPECT_EQ(Data.ControlType, 0);  // applied only when the screen is left
  RunUntilGone();
  ASSERT_EQ(Root->Child, nullptr);

  ExpectLeftWith(4, 1, 1, 1);
  EXPECT_EQ(Input.KeyCodes.A, 57);
  EXPECT_EQ(Input.KeyCodes.B, 47);
  EXPECT_EQ(Input.KeyCodes.Enter, 28);

  const std::vector<uint8_t> file = SaveBytes();
  ASSERT_EQ(file.size(), savefile::kSize);
  EXPECT_EQ(I32At(file, 268), 4);
  EXPECT_EQ(I32At(file, 272), 1);
  EXPECT_EQ(I32At(file, 276), 1);
  EXPECT_EQ(I32At(file, 280), 1);
  GameData reread;
  ASSERT_TRUE(savefile::Load(SavePath, reread));
  EXPECT_EQ(reread.Ranking[0].Score, 100000);
}

TEST_F(ConfigScreen, DecideAndCancelInTheSameTickApplyAndSave) {
  TConfigMode* c = Open();
  Tap(keycode::Right);
  Wnd->Input().SetKey(keycode::Enter, true);
  Wnd->Input().SetKey(keycode::X, true);
  Tick();
  EXPECT_TRUE(c->Decided);
  EXPECT_TRUE(c->Cancelled);
  Wnd->Input().SetKey(keycode::Enter, false);
  Wnd->Input().SetKey(keycode::X, false);
  RunUntilGone();
  EXPECT_EQ(Data.BlockType, 1);
  EXPECT_TRUE(std::filesystem::exists(SavePath));
}

TEST_F(ConfigScreen, FollowsTheMenuCycleAndReopensOnBlock) {
  TConfigMode* c = Open();
  int ticks = 1;
  while (c->Phase == 0 && ticks < 50) {
    Tick();
    ++ticks;
  }
  EXPECT_EQ(ticks, 7);  // 255 in steps of 40
  EXPECT_EQ(Kernel->FadeLevel, 0);
  Tap(keycode::Down);
  Tap(keycode::Down);
  EXPECT_EQ(c->Item, 2);
  Tap(keycode::Enter);
  EXPECT_EQ(c->Phase, 2);
  const int rest = RunUntilGone();
  EXPECT_GE(rest, 5);
  EXPECT_LE(rest, 8);

  TConfigMode* again = Open();
  EXPECT_EQ(again->Item, 0);
  EXPECT_EQ(again->Values[0], Data.BlockType);
}

TEST_F(ConfigScreen, DamagedStoredValuesStartAtTheFirstChoice) {
  Data.BlockType = 9;
  Data.BackType = -3;
  Data.BgmType = 77;
  Data.ControlType = 5;
  TConfigMode* c = Open();
  EXPECT_EQ(std::vector<int32_t>(c->Values, c->Values + 4), (std::vector<int32_t>{0, 0, 0, 0}));
  Tap(keycode::Left);
  EXPECT_EQ(c->Values[0], 4);
  c->Draw();  // every text comes from the known lists
  Tap(keycode::X);
  RunUntilGone();
  EXPECT_EQ(Data.BlockType, 9);  // cancelled: left as it was
}

TEST_F(ConfigScreen, DrawsTheChosenBackAndFourSampleCells) {
  // Sample cells in distinct colours, so the layout can be read off the picture.
  std::vector<Rgb> px(128 * 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 128; ++x) px[y * 128 + x] = Rgb{uint8_t(50 + 50 * (x / 32)), 200, 0};
  const std::string cells = Dir.Write("cells.bmp", kordraw_test::MakeBmp24(128, 32, px));
  const std::string back = Dir.Write("back.bmp", kordraw_test::SolidBmp24(512, 384, Rgb{9, 9, 99}));

  TConfigMode mode(Root.get(), Kernel.get(), &Data);
  mode.Init();
  ASSERT_TRUE(DrawC.CreateSprite("見本ブロック", cells, 32, 32));
  ASSERT_TRUE(DrawC.CreateSprite("見本背景", back, 0, 0));
  mode.Draw();
  EXPECT_EQ(Px(5, 5), Map(Rgb{9, 9, 99}));
  EXPECT_EQ(Px(500, 380), Map(Rgb{9, 9, 99}));
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Px(172 + 32 * i, 76), Map(Rgb{uint8_t(50 + 50 * i), 200, 0})) << i;
    EXPECT_EQ(Px(172 + 32 * i + 31, 76 + 31), Map(Rgb{uint8_t(50 + 50 * i), 200, 0})) << i;
  }
  EXPECT_EQ(Px(171, 76), Map(Rgb{9, 9, 99}));
  EXPECT_EQ(Px(172 + 128, 76), Map(Rgb{9, 9, 99}));
  mode.Leave();
  EXPECT_EQ(DrawC.GetSpriteSurf("見本ブロック"), nullptr);
}

// With the music component running on a recording output (in step with the caller, no
// timer): the music follows the BGM row at once.
struct ConfigScreenMusic : ConfigScreen {
  TKorMidi* MidiComponent() override {
    platform::AudioDevice::SetManualMode(true);
    Midi.OpenOutput = [] {
      return std::make_unique<platform::RecordingMidiOut>(std::make_shared<platform::MidiLog>());
    };
    const bool ok = Midi.Init();
    platform::AudioDevice::SetManualMode(false);
    EXPECT_TRUE(ok);
    return &Midi;
  }
};

TEST_F(ConfigScreenMusic, TheMusicFollowsTheBgmRowAndStaysAsPreviewedOnCancel) {
  Midi.Play("OPENING", true);  // the title's song
  Open();
  EXPECT_TRUE(Midi.IsPlay("BGM1"));  // the stored choice replaces it
  Tap(keycode::Down);
  Tap(keycode::Down);
  Tap(keycode::Right);
  EXPECT_TRUE(Midi.IsPlay("BGM2"));
  Tap(keycode::Right);  // NO BGM stops it at once
  EXPECT_FALSE(Midi.IsPlay());
  Tap(keycode::Right);  // BGM A starts again
  EXPECT_TRUE(Midi.IsPlay("BGM1"));
  Tap(keycode::Left);
  Tap(keycode::Left);
  EXPECT_TRUE(Midi.IsPlay("BGM2"));
  Tap(keycode::X);
  RunUntilGone();
  // Cancelled: the stored choice stays, the previewed song plays on until the parent
  // starts its own.
  EXPECT_EQ(Data.BgmType, 0);
  EXPECT_TRUE(Midi.IsPlay("BGM2"));
}

TEST_F(ConfigScreenMusic, DecidingNoBgmLeavesTheGameSilent) {
  Open();
  Tap(keycode::Up);
  Tap(keycode::Up);
  Tap(keycode::Left);  // BGM A -> NO BGM
  EXPECT_FALSE(Midi.IsPlay());
  Tap(keycode::Enter);
  RunUntilGone();
  EXPECT_EQ(Data.BgmType, 2);
  EXPECT_FALSE(Midi.IsPlay());
}

}  // namespace

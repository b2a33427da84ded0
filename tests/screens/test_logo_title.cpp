// The logo's phases, timings, skip rules and animation, and the title menu's cursor, decide
// and choice.
#include <gtest/gtest.h>

#include <algorithm>

#include "media/kormidi.h"
#include "platform/audio_device.h"
#include "platform/midi_out.h"
#include "screens/contselect.h"
#include "screens/logo.h"
#include "screens/lvselect.h"
#include "screens/regrank.h"
#include "screens/title.h"
#include "tests/support/headless_game.h"

namespace vexa_test {
namespace {

using LogoTest = HeadlessGame;
using TitleTest = HeadlessGame;

TEST_F(LogoTest, UnskippedRunsPauseFadeShowFadePauseAndHoldsTheLastCell) {
  TLogoMode& logo = Make<TLogoMode>();
  // 1600 ms dark: Work reaches -20 on the 81st tick.
  EXPECT_EQ(RunToPhase(1), 81);
  EXPECT_EQ(Kernel->FadeLevel, 255);
  EXPECT_EQ(RunToPhase(2), 7);  // 255 down to 0 in steps of 40
  EXPECT_EQ(Kernel->FadeLevel, 0);
  EXPECT_EQ(logo.Frame, 0);
  int32_t last = 0;
  int shown = 0;
  while (logo.Phase == 2 && shown < 500) {
    Tick();
    ++shown;
    EXPECT_GE(logo.Frame, last);  // never steps back or wraps
    EXPECT_LE(logo.Frame, 7);
    last = logo.Frame;
  }
  EXPECT_EQ(shown, 81);
  EXPECT_EQ(logo.Frame, 7);  // 1600 ms is far longer than the eight cells take
  EXPECT_EQ(RunToPhase(4), 7);
  EXPECT_TRUE(Kernel->Blackout);
  EXPECT_EQ(RunToPhase(5), 81);
  EXPECT_FALSE(logo.IsFinished());
  Tick();
  EXPECT_TRUE(logo.IsFinished());
  EXPECT_EQ(Kernel->FadeLevel, 255);
  EXPECT_EQ(logo.Frame, 7);
}

TEST_F(LogoTest, AnimationAdvancesEverySixTicks) {
  TLogoMode& logo = Make<TLogoMode>();
  RunToPhase(2);
  // Phase 2 began after 88 ticks (Elapsed 1760 at the next Move); the next multiples of 120
  // come at Elapsed 1800, 1920, ...
  std::vector<int32_t> frames;
  for (int i = 0; i < 16; ++i) {
    Tick();
    frames.push_back(logo.Frame);
  }
  EXPECT_EQ(frames, (std::vector<int32_t>{0, 0, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 3, 3}));
}

TEST_F(LogoTest, SkipInTheDarkPauseGoesToFadeOutButStillWaitsTheBlackPause) {
  TLogoMode& logo = Make<TLogoMode>();
  Ticks(3);
  Tap(keycode::Enter);
  // The fade-out from full darkness ends at once.
  EXPECT_TRUE(logo.Skipped);
  EXPECT_EQ(logo.Phase, 4);
  EXPECT_TRUE(Kernel->Blackout);
  EXPECT_EQ(RunToEnd(), 81);  // the rest of the 81-tick black pause, then the finishing tick
}

TEST_F(LogoTest, SkipWhileShownFadesOutFromTheCurrentLevel) {
  TLogoMode& logo = Make<TLogoMode>();
  RunToPhase(2);
  Ticks(10);
  Tap(keycode::Z);
  EXPECT_EQ(logo.Phase, 3);
  EXPECT_EQ(Kernel->FadeLevel, 80);
  EXPECT_EQ(RunToPhase(4), 5);
}

TEST_F(LogoTest, LaterOrSecondPressesChangeNothing) {
  TLogoMode& logo = Make<TLogoMode>();
  RunToPhase(2);
  Ticks(80);
  EXPECT_EQ(logo.Phase, 2);
  Tick();
  ASSERT_EQ(logo.Phase, 3);
  Tap(keycode::Enter);  // during the fade-out: only marks the skip
  EXPECT_TRUE(logo.Skipped);
  EXPECT_EQ(logo.Phase, 3);
  RunToPhase(4);
  Ticks(10);
  Tap(keycode::Enter);
  EXPECT_EQ(logo.Phase, 4);
  EXPECT_EQ(logo.Work, 1600 - 12 * 20);
}

TEST_F(TitleTest, CursorWrapsBothWaysAndUpDownTogetherStays) {
  TTitleMode& title = Make<TTitleMode>();
  Tick();
  Tap(keycode::Up);
  EXPECT_EQ(title.Cursor, 2);  // GAME START -> OPTION
  Tap(keycode::Down);
  EXPECT_EQ(title.Cursor, 0);  // OPTION -> GAME START
  Tap(keycode::Down);
  EXPECT_EQ(title.Cursor, 1);
  Down(keycode::Up);
  Down(keycode::Down);
  Tick();
  EXPECT_EQ(title.Cursor, 1);
}

TEST_F(TitleTest, HeldDirectionRepeatsAfterTheDelay) {
  TTitleMode& title = Make<TTitleMode>();
  Tick();
  Down(keycode::Down);
  Ticks(10);  // moves on the first tick only
  EXPECT_EQ(title.Cursor, 1);
  Tick();  // the 11th tick: 200 ms after the press
  EXPECT_EQ(title.Cursor, 2);
  Ticks(3);
  EXPECT_EQ(title.Cursor, 0);
}

TEST_F(TitleTest, DecideDuringFadeInIsTakenWhenTheFadeEnds) {
  TTitleMode& title = Make<TTitleMode>();
  Tick();
  Tap(keycode::Down);
  Tap(keycode::Enter);
  EXPECT_TRUE(title.Decided);
  EXPECT_EQ(title.Phase, 0);
  Data.TitleChoice = 9;
  EXPECT_EQ(RunToPhase(1), 2);  // the 7th tick ends the fade
  EXPECT_EQ(Data.TitleChoice, 9);
  Tick();  // first tick of phase 1
  EXPECT_EQ(Data.TitleChoice, 1);
  EXPECT_EQ(title.Phase, 2);
  EXPECT_EQ(RunToEnd(), 8);
  EXPECT_TRUE(Kernel->Blackout);
  EXPECT_EQ(Kernel->FadeLevel, 255);
}

}  // namespace
}  // namespace vexa_test

namespace vexa_test {
namespace {

// A one-track song of a few seconds with a note at its start, written as a file under the
// name the screen plays (the program's own resource of that name wins when there is one).
void WriteSong(const std::string& path) {
  const std::vector<uint8_t> track = {
      0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // tempo 500000 us
      0x00, 0x90, 60,   100,                     // note on
      0x83, 0x60, 0x80, 60,   0,                 // note off after 480 ticks
      0xA5, 0x60, 0xFF, 0x2F, 0x00};             // end after 4800 more
  const std::vector<uint8_t> head = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0,
                                     'M', 'T', 'r', 'k', 0, 0, 0, static_cast<uint8_t>(track.size())};
  std::vector<uint8_t> smf(head.size() + track.size());
  std::copy(track.begin(), track.end(), std::copy(head.begin(), head.end(), smf.begin()));
  WriteBytes(path, smf);
}

class MenuMusic : public HeadlessGame {
 protected:
  TKorMidi* MidiComponent() override {
    platform::AudioDevice::SetManualMode(true);
    Midi.OpenOutput = [log = Log] { return std::make_unique<platform::RecordingMidiOut>(log); };
    EXPECT_TRUE(Midi.Init());
    return &Midi;
  }
  void SetUp() override {
    HeadlessGame::SetUp();
    WriteSong(Dir.At("OPENING"));
    WriteSong(Dir.At("BGM1"));
    WriteSong(Dir.At("FANFARE"));
  }
  void TearDown() override {
    Midi.CleanUp();
    platform::AudioDevice::SetManualMode(false);
    HeadlessGame::TearDown();
  }
  std::shared_ptr<platform::MidiLog> Log = std::make_shared<platform::MidiLog>();
};

TEST_F(MenuMusic, TitleOpeningStartsWhenTheFadeInEnds) {
  ASSERT_TRUE(Midi.Play("BGM1", true));
  TTitleMode& title = Make<TTitleMode>();
  Ticks(6);
  EXPECT_TRUE(Midi.IsPlay("BGM1"));
  Tick();
  EXPECT_EQ(title.Phase, 1);
  EXPECT_TRUE(Midi.IsPlay("OPENING"));
  EXPECT_TRUE(Midi.Loop);
}

TEST_F(MenuMusic, TitleOpeningAlreadyPlayingIsNotRestarted) {
  ASSERT_TRUE(Midi.Play("OPENING", true));
  for (int i = 0; i < 30; ++i) Midi.RunPass();
  const uint32_t pos = Midi.Tracks[0].Pos;
  const uint32_t pending = Midi.Tracks[0].Pending;
  ASSERT_GT(pos, 0u);
  const size_t logged = Log->Size();
  MakeAndRunTo<TTitleMode>(1);
  Tick();
  EXPECT_TRUE(Midi.IsPlay("OPENING"));
  EXPECT_EQ(Midi.Tracks[0].Pos, pos);
  EXPECT_EQ(Midi.Tracks[0].Pending, pending);
  EXPECT_EQ(Log->Size(), logged);  // nothing stopped or reset
}

TEST_F(MenuMusic, LevelAndPuzzleStartStopTheSongOnDecideOnly) {
  ASSERT_TRUE(Midi.Play("OPENING", true));
  MakeAndRunTo<TLvSelectMode>(1);
  Tap(keycode::X);
  RunToEnd();
  EXPECT_TRUE(Midi.IsPlay("OPENING"));  // back to the game type: the song goes on
  MakeAndRunTo<TLvSelectMode>(1);
  Tap(keycode::Z);
  EXPECT_FALSE(Midi.IsPlay());
  ASSERT_TRUE(Midi.Play("OPENING", true));
  MakeAndRunTo<TContSelectMode>(1);
  Tap(keycode::Enter);
  EXPECT_FALSE(Midi.IsPlay());
}

TEST_F(MenuMusic, FanfareOnlyForANewRankingEntry) {
  Data.LastScore = 5;  // below the default table
  Make<TRegRankMode>();
  Tick();
  EXPECT_FALSE(Midi.IsPlay());
  Data.LastScore = 100000;
  Make<TRegRankMode>();
  Tick();
  EXPECT_TRUE(Midi.IsPlay("FANFARE"));
  EXPECT_FALSE(Midi.Loop);
}

// The logo on a real work surface: every frame starts from black.
using LogoDraw = DrawnGame;

TEST_F(LogoDraw, CellsAreDrawnOnAClearedScreenAndTheSpriteGoesOnLeave) {
  TLogoMode& logo = Make<TLogoMode>();
  Tick();
  DrawC.WorkSurface->Fill(DrawC.WorkSurface->MapRgb(255, 255, 255));
  logo.Draw();
  EXPECT_EQ(DrawC.WorkSurface->GetPixel(0, 0), 0u);
  EXPECT_EQ(DrawC.WorkSurface->GetPixel(511, 383), 0u);
  if (!DrawC.GetSpriteSurf("KORVANTIUM")) GTEST_SKIP() << "no logo bitmap";
  EXPECT_EQ(DrawC.GetSpriteSurf("KORVANTIUM")->CellCount, 8);
  Tap(keycode::Enter);
  RunToEnd();
  EXPECT_EQ(DrawC.GetSpriteSurf("KORVANTIUM"), nullptr);
}

}  // namespace
}  // namespace vexa_test

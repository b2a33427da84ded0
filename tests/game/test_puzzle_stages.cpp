// The shipped puzzle stages: their format, and a proof that every one can be emptied, by
// replaying the stored solution through the field model (tools/puzzlegen/puzzle_model.h).
// The model itself is checked first against the field rules it must follow.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/kernel.h"
#include "game/gamedata.h"
#include "platform/resources.h"
#include "play/gamemain.h"
#include "tools/puzzlegen/puzzle_model.h"

using puzzle::Field;
using puzzle::Grid;
using puzzle::Move;

namespace {

// Builds a grid from ten strings of six characters, 'A'..'Z' or '.', top row first.
Grid GridOf(const std::vector<std::string>& rows) {
  Grid g;
  g.fill(static_cast<uint8_t>(puzzle::kEmpty));
  const int first = puzzle::kWellRows - static_cast<int>(rows.size());
  for (size_t r = 0; r < rows.size(); ++r)
    for (int c = 0; c < puzzle::kCols; ++c) {
      const char ch = rows[r][static_cast<size_t>(c)];
      g[(first + static_cast<int>(r)) * puzzle::kCols + c] =
          ch == '.' ? static_cast<uint8_t>(puzzle::kEmpty) : static_cast<uint8_t>(ch - 'A');
    }
  return g;
}

std::string RowOf(const Field& f, int row) {
  std::string s;
  for (int c = 0; c < puzzle::kCols; ++c)
    s += f.Letters[row][c] == puzzle::kEmpty ? '.' : static_cast<char>('A' + f.Letters[row][c]);
  return s;
}

std::vector<Grid> LoadStages() {
  platform::ResourceView view;
  if (!platform::FindResource("BIN", "PUZZLEDATA", view)) return {};
  std::vector<Grid> stages;
  for (size_t s = 0; s * puzzle::kStageBytes + puzzle::kStageBytes <= view.Size; ++s) {
    Grid g;
    std::copy(view.Data + s * puzzle::kStageBytes, view.Data + (s + 1) * puzzle::kStageBytes, g.begin());
    stages.push_back(g);
  }
  return stages;
}

std::vector<std::vector<Move>> LoadSolutions() {
  std::ifstream in(std::string(VEXA_SOURCE_DIR) + "/tools/puzzlegen/solutions.txt");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::vector<Move>> sols;
  if (text.empty() || !puzzle::ParseSolutions(text, sols)) return {};
  return sols;
}

// The game screen with its sounds, music and saving switched off.
class QuietGameMain : public TGameMainMode {
 public:
  using TGameMainMode::TGameMainMode;
  void PlaySound(const char*) override {}
  void StopSound(const char*) override {}
  bool IsSoundPlaying(const char*) override { return false; }
  void StartMusic() override {}
  void StopMusic() override {}
  void SaveProgress() override {}
};

bool GameBusy(const TGameMainMode& g) {
  if (g.Field.SwapTimer != 0 || g.Field.Falling) return true;
  for (const TFallRecord& f : g.Field.Falls)
    if (f.Active) return true;
  for (int r = 0; r < puzzle::kWellRows; ++r)
    for (int c = 0; c < puzzle::kCols; ++c)
      if (g.Field.Flags[r][c] & puzzle::cfErasing) return true;
  return false;
}

}  // namespace

// ---- the model against the field rules ----

TEST(PuzzleModel, StageOneClearsWithTheTwoSwapsOfItsExample) {
  const Grid g = GridOf({".B.AC."});
  Field f;
  f.Load(g);
  ASSERT_TRUE(puzzle::PlayMove(f, {1, 9, 'R'}, 20));  // B into the gap
  EXPECT_EQ(RowOf(f, 9), "..BAC.");
  EXPECT_FALSE(f.Lost);
  ASSERT_TRUE(puzzle::PlayMove(f, {2, 9, 'R'}, 20));  // B and A exchanged: A B C
  EXPECT_TRUE(f.Cleared);
  EXPECT_FALSE(f.Lost);
  EXPECT_EQ(f.Stats.SeqCells, 3);
  EXPECT_EQ(f.Stats.SameCells, 0);
}

TEST(PuzzleModel, SwapsAreRefusedOrAcceptedAsTheCursorRulesSay) {
  Field f;
  f.Load(GridOf({"A.....", "B...CD"}));  // C and D keep the stage open
  EXPECT_FALSE(f.SwapCells(0, 7, 0, 8));  // vertical with an empty cell
  EXPECT_TRUE(f.SwapCells(1, 8, 0, 8));   // horizontal into a gap
  EXPECT_EQ(f.Letters[8][1], 0);
  EXPECT_FALSE(f.SwapCells(1, 8, 2, 8));  // a swapping cell is locked
  // The moved block hangs for the 160 ms of the swap, then falls.
  for (int i = 0; i < 7; ++i) f.Tick(20);
  EXPECT_EQ(f.Letters[8][1], 0);
  f.RunUntilSettled(20);
  EXPECT_EQ(RowOf(f, 9), "BA..CD");
  EXPECT_EQ(RowOf(f, 8), "......");
}

TEST(PuzzleModel, RunsAreEqualOrAscendingNeverDescendingAndNeverThroughTheFloor) {
  EXPECT_TRUE(puzzle::HasRun(GridOf({"AAA..."})));
  EXPECT_TRUE(puzzle::HasRun(GridOf({".ABC.."})));
  EXPECT_FALSE(puzzle::HasRun(GridOf({"CBA..."})));
  EXPECT_FALSE(puzzle::HasRun(GridOf({"YZA..."})));
  EXPECT_TRUE(puzzle::HasRun(GridOf({"A.....", "B.....", "C....."})));  // top to bottom
  EXPECT_FALSE(puzzle::HasRun(GridOf({"C.....", "B.....", "A....."})));
  EXPECT_FALSE(puzzle::HasRun(GridOf({"AA.A.."})));
  // Two A stacked on the floor row of A: the floor never takes part, even when a swap
  // makes the field look for runs.
  Field f;
  f.Load(GridOf({"B.....", "A.....", "A...CD"}));
  EXPECT_TRUE(puzzle::PlayMove(f, {0, 7, 'R'}, 20));  // B moves over and falls beside
  EXPECT_EQ(RowOf(f, 9), "AB..CD");
  EXPECT_EQ(RowOf(f, 8), "A.....");
  EXPECT_EQ(f.Stats.Removed, 0);
}

TEST(PuzzleModel, SwappedBlockCompletesItsRowBeforeItFallsAndBlinksInMidAir) {
  // A moved left over an empty column finishes A A A in row 8 before it can fall; it is
  // erased where it hangs and never reaches row 9.
  Field f;
  f.Load(GridOf({"AA.A..", "BC.DE."}));
  ASSERT_FALSE(puzzle::HasRun(f.Snapshot()));
  ASSERT_TRUE(puzzle::PlayMove(f, {2, 8, 'R'}, 20));
  EXPECT_EQ(RowOf(f, 8), "......");
  EXPECT_EQ(RowOf(f, 9), "BC.DE.");
  EXPECT_EQ(f.Stats.SameCells, 3);
}

TEST(PuzzleModel, CrossOfEqualAndAscendingRunsVanishesAsOneGroup) {
  // The swap makes C C C in row 9 whose last C also ends A B C down column 2: five blocks,
  // the shared C counted in both kinds.
  Field f;
  f.Load(GridOf({"..A...", "..B...", "CCDC.."}));
  ASSERT_FALSE(puzzle::HasRun(f.Snapshot()));
  ASSERT_TRUE(puzzle::PlayMove(f, {2, 9, 'R'}, 20));
  EXPECT_EQ(f.Stats.Removed, 5);
  EXPECT_EQ(f.Stats.SameCells, 3);
  EXPECT_EQ(f.Stats.SeqCells, 3);
  EXPECT_EQ(RowOf(f, 9), "...D..");
}

TEST(PuzzleModel, FallThatCompletesARunIsTheNextChainStep) {
  // E E E down column 2 vanishes; the D above drops three rows onto row 9 beside D D.
  Field f;
  f.Load(GridOf({"..D...", "..E...", "..E...", "DDGE.."}));
  ASSERT_FALSE(puzzle::HasRun(f.Snapshot()));
  ASSERT_TRUE(puzzle::PlayMove(f, {2, 9, 'R'}, 20));
  EXPECT_EQ(f.Stats.MaxChain, 2);
  EXPECT_EQ(f.Stats.Removed, 6);
  EXPECT_EQ(RowOf(f, 9), "...G..");
  EXPECT_TRUE(f.Lost);  // a lone G can never vanish
}

TEST(PuzzleModel, EraseTimerRunsOutInTheSixtyFirstTick) {
  Field f;
  f.Load(GridOf({"AA.A.."}));
  f.FastForward = false;
  ASSERT_TRUE(f.SwapCells(2, 9, 3, 9));
  int ticks = 0;
  while (f.SwapTimer != 0) {
    f.Tick(20);
    ++ticks;
  }
  EXPECT_EQ(ticks, 8);  // 160 ms; the run is found and starts blinking in the 8th tick
  ASSERT_TRUE(f.AnyErasing());
  int eraseTicks = 1;   // the blink's first tick was that same tick
  while (f.AnyErasing()) {
    f.Tick(20);
    ++eraseTicks;
  }
  EXPECT_EQ(eraseTicks, 61);
  EXPECT_TRUE(f.WellEmpty());
}

TEST(PuzzleModel, DeadEndIsALossButAnEmptyWellIsAClear) {
  Field f;
  f.Load(GridOf({"AACD.."}));
  f.Tick(20);
  EXPECT_TRUE(f.Lost);
  Field g;
  g.Load(GridOf({"A.C.B."}));  // A, B, C present: still open though they never meet
  g.Tick(20);
  EXPECT_FALSE(g.Lost);
  Field h;
  h.Load(GridOf({"AA.A.."}));
  ASSERT_TRUE(puzzle::PlayMove(h, {2, 9, 'R'}, 20));
  EXPECT_TRUE(h.Cleared);
  EXPECT_FALSE(h.Lost);
  EXPECT_FALSE(puzzle::PlayMove(h, {0, 9, 'R'}, 20));  // nothing more once the stage is over
}

TEST(PuzzleModel, SolutionFileParsing) {
  std::vector<std::vector<Move>> sols;
  EXPECT_TRUE(puzzle::ParseSolutions("# c\n1: 2 swaps: 1,9,R 2,9,R\n3: 1 swaps: 0,8,D\n", sols));
  ASSERT_EQ(sols.size(), 50u);
  ASSERT_EQ(sols[0].size(), 2u);
  EXPECT_EQ(sols[0][1], (Move{2, 9, 'R'}));
  EXPECT_EQ(sols[2][0], (Move{0, 8, 'D'}));
  EXPECT_TRUE(sols[1].empty());
  EXPECT_FALSE(puzzle::ParseSolutions("51: 1 swaps: 1,9,R\n", sols));
  EXPECT_FALSE(puzzle::ParseSolutions("2: 1 swaps: 5,9,R\n", sols));   // no column 6
  EXPECT_FALSE(puzzle::ParseSolutions("2: 1 swaps: 1,9,D\n", sols));   // no row 10
  EXPECT_FALSE(puzzle::ParseSolutions("2: 1 swaps: 1;9;R\n", sols));
  EXPECT_FALSE(puzzle::ParseSolutions("x: 1 swaps: 1,9,R\n", sols));
}

// ---- the shipped stages ----

TEST(PuzzleStages, DataHasFiftyWellFormedStages) {
  platform::ResourceView view;
  ASSERT_TRUE(platform::FindResource("BIN", "PUZZLEDATA", view));
  ASSERT_EQ(view.Size, 3000u);
  const std::vector<Grid> stages = LoadStages();
  ASSERT_EQ(stages.size(), 50u);
  for (size_t s = 0; s < stages.size(); ++s) {
    SCOPED_TRACE("stage " + std::to_string(s + 1));
    const Grid& g = stages[s];
    EXPECT_TRUE(puzzle::LettersInRange(g));
    const int blocks = puzzle::BlockCount(g);
    EXPECT_GE(blocks, 3);
    EXPECT_LE(blocks, 60);
    EXPECT_FALSE(puzzle::HasRun(g));
    EXPECT_FALSE(puzzle::HasFloatingBlock(g));
    Field f;
    f.Load(g);
    EXPECT_TRUE(Field::StillOpen(f));
  }
  // Stage 1: 55 empty cells, then B . A C . in the bottom row after an empty first cell.
  for (int i = 0; i < 55; ++i) EXPECT_EQ(stages[0][i], 26) << i;
  EXPECT_EQ(stages[0][55], 1);
  EXPECT_EQ(stages[0][56], 26);
  EXPECT_EQ(stages[0][57], 0);
  EXPECT_EQ(stages[0][58], 2);
  EXPECT_EQ(stages[0][59], 26);
  EXPECT_EQ(puzzle::BlockCount(stages[34]), 60);  // stage 35: a full well
}

TEST(PuzzleStages, EveryStoredSolutionEmptiesItsStage) {
  const std::vector<Grid> stages = LoadStages();
  const std::vector<std::vector<Move>> sols = LoadSolutions();
  ASSERT_EQ(stages.size(), 50u);
  ASSERT_EQ(sols.size(), 50u) << "tools/puzzlegen/solutions.txt missing or malformed";
  for (size_t s = 0; s < stages.size(); ++s) {
    SCOPED_TRACE("stage " + std::to_string(s + 1));
    ASSERT_FALSE(sols[s].empty());
    for (int dt : {20, 40}) {
      const puzzle::PlayResult r = puzzle::PlaySolution(stages[s], sols[s], dt);
      EXPECT_TRUE(r.Cleared) << "dt " << dt << ", failed at swap " << r.FailedAt;
      EXPECT_FALSE(r.Lost) << "dt " << dt;
      EXPECT_EQ(r.Stats.Removed, puzzle::BlockCount(stages[s]));
    }
  }
}

TEST(PuzzleStages, SkippingIdleTicksChangesNoOutcome) {
  // The model skips ticks in which only timers run; playing every tick must give the same
  // field after every swap.
  const std::vector<Grid> stages = LoadStages();
  const std::vector<std::vector<Move>> sols = LoadSolutions();
  ASSERT_EQ(stages.size(), 50u);
  ASSERT_EQ(sols.size(), 50u);
  for (size_t s = 0; s < stages.size(); ++s) {
    SCOPED_TRACE("stage " + std::to_string(s + 1));
    Field fast, exact;
    fast.Load(stages[s]);
    exact.FastForward = false;
    exact.Load(stages[s]);
    for (size_t i = 0; i < sols[s].size(); ++i) {
      ASSERT_EQ(puzzle::PlayMove(fast, sols[s][i], 20), puzzle::PlayMove(exact, sols[s][i], 20));
      ASSERT_EQ(fast.Snapshot(), exact.Snapshot()) << "after swap " << i + 1;
      ASSERT_EQ(fast.Stats.MaxChain, exact.Stats.MaxChain);
    }
    EXPECT_TRUE(exact.Cleared);
  }
}

TEST(PuzzleStages, EveryStoredSolutionClearsThroughTheGameScreen) {
  // The same swaps, made by the game screen's own field rules on its play tick.
  platform::ResourceView view;
  ASSERT_TRUE(platform::FindResource("BIN", "PUZZLEDATA", view));
  ASSERT_EQ(view.Size, 3000u);
  const std::vector<std::vector<Move>> sols = LoadSolutions();
  ASSERT_EQ(sols.size(), 50u);
  for (int dt : {20, 40}) {
    for (int s = 0; s < puzzle::kStageCount; ++s) {
      SCOPED_TRACE("stage " + std::to_string(s + 1) + ", dt " + std::to_string(dt));
      TKernel kernel{nullptr, nullptr, nullptr, nullptr};
      GameData data;
      std::copy(view.Data, view.Data + view.Size, data.PuzzleData);
      data.GameType = 1;
      data.Stage = s;
      QuietGameMain game(nullptr, &kernel, &data);
      game.Init();
      auto tick = [&] {
        game.PlayTick(dt);
        game.Frames += 1;
        game.Elapsed += dt;
      };
      for (const Move& m : sols[static_cast<size_t>(s)]) {
        ASSERT_FALSE(game.IsOver || game.Cleared || GameBusy(game));
        game.Field.SwapCells(m.OtherCol(), m.OtherRow(), m.Col, m.Row);
        ASSERT_NE(game.Field.SwapTimer, 0) << "swap refused";
        int calm = 0;
        for (int k = 0; k < 5000 && calm < 2 && !game.IsOver; ++k) {
          tick();
          calm = GameBusy(game) ? 0 : calm + 1;
        }
      }
      tick();
      EXPECT_TRUE(game.Cleared);
      EXPECT_FALSE(game.IsOver);
    }
  }
}

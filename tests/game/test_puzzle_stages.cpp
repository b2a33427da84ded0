// The shipped puzzle stages: their format, the solutions file, and a proof that every stage
// is emptied by its stored solution (tools/puzzlegen/solutions.txt) on the game screen.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/kernel.h"
#include "game/gamedata.h"
#include "platform/resources.h"
#include "play/gamemain.h"
#include "tests/support/headless_game.h"
#include "tools/puzzlegen/puzzle_model.h"

using puzzle::Grid;
using puzzle::Move;

namespace {

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

}  // namespace

TEST(PuzzleSolutions, FileParsing) {
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
      vexa_test::SilentKernel silent;
      GameData data;
      std::copy(view.Data, view.Data + view.Size, data.PuzzleData);
      data.GameType = 1;
      data.Stage = s;
      TGameMainMode game(nullptr, &silent.Kernel, &data);  // heard and seen by nobody
      game.Init();
      auto tick = [&] {
        game.PlayTick(dt);
        game.Frames += 1;
        game.Elapsed += dt;
      };
      for (const Move& m : sols[static_cast<size_t>(s)]) {
        ASSERT_FALSE(game.IsOver || game.Cleared || !game.Field.AtRest());
        game.Field.SwapCells(m.OtherCol(), m.OtherRow(), m.Col, m.Row);
        ASSERT_NE(game.Field.SwapTimer, 0) << "swap refused";
        int calm = 0;
        for (int k = 0; k < 5000 && calm < 2 && !game.IsOver; ++k) {
          tick();
          calm = game.Field.AtRest() ? calm + 1 : 0;
        }
      }
      tick();
      EXPECT_TRUE(game.Cleared);
      EXPECT_FALSE(game.IsOver);
    }
  }
}

// The puzzle solver: shortest solutions on built-in stages, a proof of no solution, the
// replay of what it finds, cancelling, the stage checks, and the shortcut for quiet swaps.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/random.h"
#include "platform/resources.h"
#include "play/solver.h"

namespace {

std::vector<uint8_t> BuiltInStage(int32_t stage) {  // 1-based
  platform::ResourceView view;
  if (!platform::FindResource("BIN", "PUZZLEDATA", view) || view.Size < 60u * stage) return {};
  return std::vector<uint8_t>(view.Data + 60 * (stage - 1), view.Data + 60 * stage);
}

// A stage from rows of letters written from the bottom of the well up ('.' empty).
std::vector<uint8_t> Stage(const std::vector<std::string>& bottomUp) {
  std::vector<uint8_t> cells(60, kEmpty);
  for (size_t i = 0; i < bottomUp.size(); ++i)
    for (int32_t c = 0; c < kFieldCols && c < static_cast<int32_t>(bottomUp[i].size()); ++c)
      if (bottomUp[i][c] != '.')
        cells[(kWellRows - 1 - i) * kFieldCols + c] = static_cast<uint8_t>(bottomUp[i][c] - 'A');
  return cells;
}

bool Empty(const TField& f) {
  for (int32_t r = 0; r < kWellRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c)
      if (f.Letters[r][c] != kEmpty) return false;
  return f.AtRest();
}

// The stored swap count of each built-in stage.
std::vector<int32_t> StoredCounts() {
  std::vector<int32_t> counts(50, 0);
  std::ifstream in(std::string(VEXA_SOURCE_DIR) + "/tools/puzzlegen/solutions.txt");
  std::string line;
  while (std::getline(in, line)) {
    int stage = 0, swaps = 0;
    if (!line.empty() && line[0] != '#' && std::sscanf(line.c_str(), "%d: %d", &stage, &swaps) == 2 &&
        stage >= 1 && stage <= 50)
      counts[static_cast<size_t>(stage - 1)] = swaps;
  }
  return counts;
}

}  // namespace

TEST(Solver, BuiltInStagesAreSolvedShortestAndReplayToAnEmptyWell) {
  TPuzzleSolver solver;
  TSolveLimits limits;
  // Stage 1 (". B . A C .") takes two swaps and stage 2 one; both proved shortest.
  for (auto [stage, swaps] : {std::pair{1, 2}, std::pair{2, 1}}) {
    SCOPED_TRACE(stage);
    const std::vector<uint8_t> cells = BuiltInStage(stage);
    ASSERT_EQ(cells.size(), 60u);
    const TSolveReport r = solver.Solve(cells.data(), limits);
    ASSERT_EQ(r.Result, TProof::Solvable);
    EXPECT_TRUE(r.Shortest);
    ASSERT_EQ(static_cast<int32_t>(r.Solution.size()), swaps);
    EXPECT_TRUE(Empty(PlaySolutionPrefix(cells.data(), r.Solution, r.Solution.size(), 20)));
    // One swap short leaves blocks in a well at rest.
    const TField part = PlaySolutionPrefix(cells.data(), r.Solution, r.Solution.size() - 1, 20);
    EXPECT_FALSE(Empty(part));
    EXPECT_TRUE(part.AtRest());
  }
  // A handful of later stages: found with no more swaps than the stored solutions, and
  // emptied by replaying them with the tick they were found with.
  const std::vector<int32_t> stored = StoredCounts();
  limits.Shortest = false;
  for (int32_t stage : {5, 9, 12, 15}) {
    SCOPED_TRACE(stage);
    const std::vector<uint8_t> cells = BuiltInStage(stage);
    const TSolveReport r = solver.Solve(cells.data(), limits);
    ASSERT_EQ(r.Result, TProof::Solvable);
    EXPECT_LE(static_cast<int32_t>(r.Solution.size()), stored[static_cast<size_t>(stage - 1)]);
    EXPECT_TRUE(Empty(PlaySolutionPrefix(cells.data(), r.Solution, r.Solution.size(), 20)));
  }
}

TEST(Solver, SwapsWhileTheWellMovesAreReplayedAtTheirTicks) {
  // The shortest solution of this stage swaps while blocks still blink or fall; replaying
  // it with its waits empties the well.
  const std::vector<uint8_t> cells = Stage({".CA.B.", ".AA..."});
  TPuzzleSolver solver;
  const TSolveReport r = solver.Solve(cells.data(), TSolveLimits{});
  ASSERT_EQ(r.Result, TProof::Solvable);
  EXPECT_TRUE(r.Shortest);
  EXPECT_EQ(r.Solution.size(), 4u);
  bool moving = false;
  for (const TSwap& s : r.Solution) moving = moving || s.Wait >= 0;
  EXPECT_TRUE(moving);
  EXPECT_TRUE(Empty(PlaySolutionPrefix(cells.data(), r.Solution, r.Solution.size(), 20)));
}

TEST(Solver, ProvesAStageWithoutSolution) {
  // A, B, C and two C's: one ascending run takes A, B and a C, and the other C is left with
  // no partner whatever is swapped first, mid-fall or at rest.
  const std::vector<uint8_t> cells = Stage({"AB.CC."});
  TPuzzleSolver solver;
  const TSolveReport r = solver.Solve(cells.data(), TSolveLimits{});
  EXPECT_EQ(r.Result, TProof::Unsolvable);
  EXPECT_TRUE(r.Solution.empty());
  EXPECT_GT(r.Nodes, 10);
}

TEST(Solver, CancelEndsTheSearchPromptlyAndSolversRunSideBySide) {
  const std::vector<uint8_t> hard = BuiltInStage(50);
  ASSERT_EQ(hard.size(), 60u);
  std::atomic<bool> cancel{false};
  TSolveReport cancelled;
  int64_t progressCalls = 0;
  std::thread worker([&] {
    TPuzzleSolver solver;
    cancelled = solver.Solve(hard.data(), TSolveLimits{}, &cancel,
                             [&](int64_t, int32_t) { ++progressCalls; });
  });
  // Meanwhile another solver on this thread gives the same answer as ever, and draws
  // nothing from the game's random generator (a puzzle well never makes a new row).
  const std::vector<uint8_t> easy = BuiltInStage(1);
  vexa::SeedRandom(77);
  const int32_t expected = vexa::RandomRaw();
  vexa::SeedRandom(77);
  TPuzzleSolver solver;
  const TSolveReport a = solver.Solve(easy.data(), TSolveLimits{});
  EXPECT_EQ(a.Solution.size(), 2u);
  EXPECT_EQ(vexa::RandomRaw(), expected);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const auto asked = std::chrono::steady_clock::now();
  cancel = true;
  worker.join();
  const double waited =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count();
  EXPECT_LT(waited, 0.5);  // generous for a sanitizer build; it is a few milliseconds
  EXPECT_NE(cancelled.Result, TProof::Unsolvable);
  EXPECT_GT(progressCalls, 0);
}

TEST(Solver, CheckStageNamesWhatKeepsAWellFromBeingAFairStage) {
  EXPECT_TRUE(CheckStage(BuiltInStage(1).data()).empty());
  const std::vector<uint8_t> none(60, kEmpty);
  ASSERT_EQ(CheckStage(none.data()).size(), 1u);
  EXPECT_NE(CheckStage(none.data())[0].find("no block"), std::string::npos);
  const std::vector<uint8_t> run = Stage({"ABC..."});
  ASSERT_EQ(CheckStage(run.data()).size(), 1u);
  EXPECT_NE(CheckStage(run.data())[0].find("run"), std::string::npos);
  const std::vector<uint8_t> floating = Stage({"A.B.C.", ".B...."});
  ASSERT_EQ(CheckStage(floating.data()).size(), 1u);
  EXPECT_NE(CheckStage(floating.data())[0].find("empty cell"), std::string::npos);
  // Q twice and no P or R: it can never vanish; the others can.
  const std::vector<uint8_t> lost = Stage({"AQB.Q.", "B.C..."});
  const std::vector<std::string> m = CheckStage(lost.data());
  ASSERT_EQ(m.size(), 1u);
  EXPECT_NE(m[0].find("Q"), std::string::npos);
  // Three at once, and a byte outside the letters counts as an empty cell.
  std::vector<uint8_t> all = Stage({"AAA.Z.", "....Z."});
  all[0] = 1;    // a B hanging in the top row
  all[1] = 200;  // nothing
  const std::vector<std::string> three = CheckStage(all.data());
  ASSERT_EQ(three.size(), 3u);
  EXPECT_NE(three[2].find("B, Z"), std::string::npos);
}

TEST(Solver, QuietSwapsWorkedOutWithoutTicksGiveTheSameSearch) {
  // Swaps that make no run and no fall are taken as done at once; playing them tick by tick
  // must find the very same solutions through the very same wells.
  for (int32_t stage : {3, 6, 7}) {
    SCOPED_TRACE(stage);
    const std::vector<uint8_t> cells = BuiltInStage(stage);
    TSolveLimits fast, slow;
    slow.QuietShortcut = false;
    TPuzzleSolver solver;
    const TSolveReport a = solver.Solve(cells.data(), fast);
    const TSolveReport b = solver.Solve(cells.data(), slow);
    ASSERT_EQ(a.Result, TProof::Solvable);
    EXPECT_TRUE(a.Shortest);
    EXPECT_TRUE(b.Shortest);
    EXPECT_EQ(a.Solution, b.Solution);
    EXPECT_EQ(a.Nodes, b.Nodes);
  }
}

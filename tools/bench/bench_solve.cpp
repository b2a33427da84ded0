// The puzzle solver on the 50 built-in stages: per stage the swaps of the solution found, the
// wells played through and the time to the first solution and to the end of the search (the
// shortest proved, or the budget spent); then the median and the worst, the wells per second,
// and a check of every swap count against tools/puzzlegen/solutions.txt when it is found.
// VEXA_BENCH_SOLVE_MS sets the budget per stage (default 10000).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/resources.h"
#include "play/solver.h"
#include "tools/bench/bench.h"

namespace {

// The swap count of each stage in the solutions file, 0 where it is not known.
std::vector<int> StoredCounts() {
  std::vector<int> counts(50, 0);
#ifdef VEXA_SOURCE_DIR
  std::ifstream in(std::string(VEXA_SOURCE_DIR) + "/tools/puzzlegen/solutions.txt");
#else
  std::ifstream in("tools/puzzlegen/solutions.txt");
#endif
  std::string line;
  while (std::getline(in, line)) {
    int stage = 0, swaps = 0;
    if (line.empty() || line[0] == '#') continue;
    if (std::sscanf(line.c_str(), "%d: %d", &stage, &swaps) == 2 && stage >= 1 && stage <= 50)
      counts[static_cast<size_t>(stage - 1)] = swaps;
  }
  return counts;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

VEXA_BENCH(solve) {
  platform::ResourceView view;
  if (!platform::FindResource("BIN", "PUZZLEDATA", view) || view.Size < 60) {
    std::printf("no stage data\n");
    return;
  }
  const char* ms = std::getenv("VEXA_BENCH_SOLVE_MS");
  TSolveLimits limits;
  if (ms) limits.TimeBudgetMs = std::max(1, std::atoi(ms));
  const std::vector<int> stored = StoredCounts();
  std::vector<double> firsts, totals;
  int64_t nodes = 0;
  double seconds = 0;
  int solved = 0, shortest = 0, notLonger = 0, known = 0;
  std::printf("stage swaps stored   nodes    first ms   total ms  shortest\n");
  const size_t stages = std::min<size_t>(50, view.Size / 60);
  for (size_t s = 0; s < stages; ++s) {
    TPuzzleSolver solver;
    const TSolveReport r = solver.Solve(view.Data + 60 * s, limits);
    const bool ok = r.Result == TProof::Solvable;
    const int swaps = static_cast<int>(r.Solution.size());
    solved += ok;
    shortest += ok && r.Shortest;
    if (stored[s] > 0) {
      ++known;
      notLonger += ok && swaps <= stored[s];
    }
    nodes += r.Nodes;
    seconds += r.Seconds;
    firsts.push_back(ok ? r.FirstSeconds : r.Seconds);
    totals.push_back(r.Seconds);
    std::printf("%5zu %5d %6d %8lld %10.1f %10.1f  %s\n", s + 1, ok ? swaps : -1, stored[s],
                static_cast<long long>(r.Nodes), 1000 * firsts.back(), 1000 * r.Seconds,
                !ok ? (r.Result == TProof::Unsolvable ? "UNSOLVABLE" : "UNDECIDED") :
                r.Shortest ? "yes" : "no");
    std::fflush(stdout);
  }
  std::printf("solved %d of %zu (shortest proved for %d); swap count no greater than stored: "
              "%d of %d\n", solved, stages, shortest, notLonger, known);
  std::printf("first solution: median %.1f ms, max %.1f ms (goal: < 100 ms, < 1000 ms)\n",
              1000 * Median(firsts), 1000 * *std::max_element(firsts.begin(), firsts.end()));
  std::printf("whole search:   median %.1f ms, max %.1f ms\n", 1000 * Median(totals),
              1000 * *std::max_element(totals.begin(), totals.end()));
  std::printf("%.0f wells per second (%lld wells in %.2f s)\n", seconds > 0 ? nodes / seconds : 0,
              static_cast<long long>(nodes), seconds);
}

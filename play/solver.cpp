// The puzzle solver: a best-first branch and bound over the wells a stage can reach, played
// through TField with the stage's tick.
#include "play/solver.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <queue>

namespace {

constexpr int32_t kCells = kWellRows * kFieldCols;
constexpr int32_t kMaxRunTicks = 20000;  // a well that never reaches a decision point is dropped

using TLetters = std::array<uint8_t, kCells>;

// ---- the well's letters ----

TLetters LettersOf(const TField& f) {
  TLetters l;
  for (int32_t r = 0; r < kWellRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c) l[r * kFieldCols + c] = static_cast<uint8_t>(f.Letters[r][c]);
  return l;
}

// A field at rest made from its letters: everything a well at rest holds besides its letters
// is the same in every such well (no flags, groups, timers, falls or swap; the chain and the
// step scores only count points).
void SetLetters(TField& f, const TLetters& l) {
  for (int32_t r = 0; r < kWellRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c) f.Letters[r][c] = l[r * kFieldCols + c];
}

// Fewer than three of a letter and no three consecutive letters present with it: it can
// never be part of a run, so it can never leave the well. Blinking blocks count as present,
// which only lets more wells through.
bool Hopeless(const int32_t* count) {
  auto has = [count](int32_t l) { return l >= 0 && l < 26 && count[l] > 0; };
  for (int32_t l = 0; l < 26; ++l) {
    if (count[l] == 0 || count[l] >= 3) continue;
    bool ok = false;
    for (int32_t n = l - 2; n <= l && !ok; ++n) ok = has(n) && has(n + 1) && has(n + 2);
    if (!ok) return true;
  }
  return false;
}

bool Hopeless(const TLetters& l) {
  int32_t count[26] = {};
  for (uint8_t v : l)
    if (v < 26) ++count[v];
  return Hopeless(count);
}

int32_t Blocks(const TLetters& l) {
  int32_t n = 0;
  for (uint8_t v : l) n += v != kEmpty;
  return n;
}

// A block over an empty cell (row 9 stands on the floor).
bool Floats(const TLetters& l) {
  for (int32_t i = 0; i < kCells - kFieldCols; ++i)
    if (l[i] != kEmpty && l[i + kFieldCols] == kEmpty) return true;
  return false;
}

// A run of three or more along count cells from index `start` in steps of `step`: equal
// letters, or each letter one above the one before (TField::ScanLine on a well at rest).
bool LineHasRun(const TLetters& l, int32_t start, int32_t step, int32_t count) {
  int32_t same = 1, seq = 1;
  for (int32_t i = 1; i < count; ++i) {
    const int32_t prev = l[start + (i - 1) * step], cur = l[start + i * step];
    same = (cur != kEmpty && cur == prev) ? same + 1 : 1;
    seq = (cur != kEmpty && prev != kEmpty && cur == prev + 1) ? seq + 1 : 1;
    if (same >= 3 || seq >= 3) return true;
  }
  return false;
}

// How promising a well is (lower first): fewer blocks, then letters standing next to a
// partner of a run, then few letters that only an ascending run can take away.
int32_t Score(const TLetters& g) {
  int32_t blocks = 0, pairs = 0, count[26] = {};
  for (int32_t r = 0; r < kWellRows; ++r) {
    for (int32_t c = 0; c < kFieldCols; ++c) {
      const int32_t l = g[r * kFieldCols + c];
      if (l == kEmpty) continue;
      ++blocks;
      ++count[l];
      if (c + 1 < kFieldCols) {
        const int32_t m = g[r * kFieldCols + c + 1];
        if (m == l || m == l + 1) pairs += 2;
        if (c + 2 < kFieldCols) {
          const int32_t k = g[r * kFieldCols + c + 2];
          if (k == l || k == l + 2) pairs += 1;
        }
      }
      if (r + 1 < kWellRows) {
        const int32_t m = g[(r + 1) * kFieldCols + c];
        if (m == l || m == l + 1) pairs += 2;
      }
    }
  }
  int32_t loose = 0;
  for (int32_t l = 0; l < 26; ++l)
    if (count[l] == 1 || count[l] == 2) loose += count[l];
  return blocks * 12 + loose * 2 - pairs;
}

// ---- hashing the state that matters ----

struct THasher {
  uint64_t H = 0x9e3779b97f4a7c15ull;
  void Add(uint64_t v) {
    H ^= v + 0x9e3779b97f4a7c15ull + (H << 6) + (H >> 2);
    H *= 0xff51afd7ed558ccdull;
    H ^= H >> 32;
  }
  void AddBytes(const void* data, size_t n) {
    const auto* p = static_cast<const uint8_t*>(data);
    while (n >= 8) {
      uint64_t v;
      std::memcpy(&v, p, 8);
      Add(v);
      p += 8;
      n -= 8;
    }
    uint64_t v = 0;
    std::memcpy(&v, p, n);
    Add(v ^ (uint64_t{n} << 56));
  }
  uint64_t Done() const {
    uint64_t h = H;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ull;
    h ^= h >> 33;
    return h | 1;  // never 0: the empty slot of the table
  }
};

uint64_t HashResting(const TLetters& l) {
  THasher h;
  h.AddBytes(l.data(), l.size());
  return h.Done();
}

// Everything of a moving well that can change what happens next: the letters, flags (but
// whether a blinking block shows), groups and blink timers of the well, the swap under way
// and the active falls. The chain and step scores only count points; the frame count only
// decides which blinking blocks show.
uint64_t HashMoving(const TField& f) {
  THasher h;
  h.Add(0x6d6f76696e67ull);
  for (int32_t r = 0; r < kWellRows; ++r) {
    uint16_t row[kFieldCols * 3];
    for (int32_t c = 0; c < kFieldCols; ++c) {
      row[c] = static_cast<uint16_t>(f.Letters[r][c]);
      row[kFieldCols + c] = static_cast<uint16_t>(f.Flags[r][c] & ~cfHidden);
      row[2 * kFieldCols + c] = f.Groups[r][c];
    }
    h.AddBytes(row, sizeof row);
    h.AddBytes(f.EraseTimers[r], sizeof f.EraseTimers[r]);
  }
  h.Add(static_cast<uint64_t>(static_cast<uint32_t>(f.SwapTimer)) | (uint64_t{f.Falling} << 32));
  if (f.SwapTimer > 0) {
    h.Add((uint64_t(uint16_t(f.SwapA.Letter)) << 48) | (uint64_t(uint16_t(f.SwapA.Col)) << 32) |
          uint32_t(f.SwapA.Row));
    h.Add((uint64_t(uint16_t(f.SwapB.Letter)) << 48) | (uint64_t(uint16_t(f.SwapB.Col)) << 32) |
          uint32_t(f.SwapB.Row));
  }
  for (int32_t i = 0; i < kFallRecords; ++i) {
    const TFallRecord& rec = f.Falls[i];
    if (!rec.Active) continue;
    uint32_t y, s;
    std::memcpy(&y, &rec.Y, 4);
    std::memcpy(&s, &rec.Speed, 4);
    h.Add((uint64_t(uint32_t(i)) << 40) | (uint64_t(uint32_t(rec.Length)) << 16) | uint32_t(rec.X));
    h.Add((uint64_t{y} << 32) | s);
  }
  return h.Done();
}

// The fewest swaps each well was reached with: open addressing on the well's hash.
class TSeen {
 public:
  explicit TSeen(size_t capacity) {
    size_t n = 1024;
    while (n < capacity * 2) n <<= 1;
    Keys.assign(n, 0);
    Depths.assign(n, 0);
  }
  // True when the well is new or now reached with fewer swaps (and records it).
  bool Improve(uint64_t key, int32_t depth) {
    if (Count * 2 >= Keys.size()) Grow();
    size_t i = static_cast<size_t>(key) & (Keys.size() - 1);
    while (Keys[i] != 0 && Keys[i] != key) i = (i + 1) & (Keys.size() - 1);
    if (Keys[i] == key && Depths[i] <= depth) return false;
    if (Keys[i] == 0) ++Count;
    Keys[i] = key;
    Depths[i] = static_cast<uint8_t>(std::min(depth, 255));
    return true;
  }
  size_t Count = 0;

 private:
  void Grow() {
    std::vector<uint64_t> keys(Keys.size() * 2, 0);
    std::vector<uint8_t> depths(Keys.size() * 2, 0);
    for (size_t j = 0; j < Keys.size(); ++j) {
      if (Keys[j] == 0) continue;
      size_t i = static_cast<size_t>(Keys[j]) & (keys.size() - 1);
      while (keys[i] != 0) i = (i + 1) & (keys.size() - 1);
      keys[i] = Keys[j];
      depths[i] = Depths[j];
    }
    Keys.swap(keys);
    Depths.swap(depths);
  }

  std::vector<uint64_t> Keys;
  std::vector<uint8_t> Depths;
};

// Notices the ticks in which the board changed.
class TWatch : public TFieldEvents {
 public:
  void RunFound(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) override { Changed = true; }
  void BlocksErased(int32_t, int32_t, int32_t, int32_t) override {
    Changed = true;
    Erased = true;
  }
  void BlocksLanded() override { Changed = true; }
  bool Changed = false;
  bool Erased = false;
};

// At rest and no block hanging over an empty cell: nothing will ever happen without a swap.
bool Settled(const TField& f) {
  if (!f.AtRest()) return false;
  for (int32_t r = 0; r + 1 < kWellRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c)
      if (f.Letters[r][c] != kEmpty && f.Letters[r + 1][c] == kEmpty) return false;
  return true;
}

bool WellEmpty(const TField& f) {
  for (int32_t r = 0; r < kWellRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c)
      if (f.Letters[r][c] != kEmpty) return false;
  return true;
}

enum class TStop { Decision, Settled, Emptied, Stuck };

// Runs the well tick by tick up to the next decision point.
TStop RunToDecision(TField& f, TWatch& watch, int32_t dt, int32_t& ticks) {
  ticks = 0;
  for (int32_t i = 0; i < kMaxRunTicks; ++i) {
    const bool swapping = f.SwapTimer > 0;
    watch.Changed = false;
    watch.Erased = false;
    f.Tick(dt);
    ++ticks;
    if (watch.Erased && WellEmpty(f)) return TStop::Emptied;
    if (Settled(f)) return TStop::Settled;
    if (watch.Changed || (swapping && f.SwapTimer == 0)) return TStop::Decision;
  }
  return TStop::Stuck;
}

void MakeSwap(TField& f, const TSwap& s) {
  // The cursor on the neighbour, its partner on (Col, Row).
  f.SwapCells(s.OtherCol(), s.OtherRow(), s.Col, s.Row);
}

// The swaps worth trying: two different cells, not both empty; a vertical pair needs two
// blocks. Whether the well lets a swap happen (locks) is left to the well.
void CandidateSwaps(const TField& f, std::vector<TSwap>& out) {
  out.clear();
  for (int32_t r = 0; r < kWellRows; ++r) {
    for (int32_t c = 0; c < kFieldCols; ++c) {
      const int32_t l = f.Letters[r][c];
      if (c + 1 < kFieldCols && l != f.Letters[r][c + 1]) out.push_back({c, r, 'R', -1});
      if (r + 1 < kWellRows && l != kEmpty && f.Letters[r + 1][c] != kEmpty &&
          l != f.Letters[r + 1][c])
        out.push_back({c, r, 'D', -1});
    }
  }
}

// A swap on a well at rest that makes no run and leaves no block over an empty cell ends with
// the two cells exchanged and the well at rest again: nothing else can happen in it.
bool QuietSwap(TLetters& l, const TSwap& s) {
  const int32_t a = s.Row * kFieldCols + s.Col, b = s.OtherRow() * kFieldCols + s.OtherCol();
  std::swap(l[a], l[b]);
  bool quiet = !LineHasRun(l, s.Row * kFieldCols, 1, kFieldCols) &&
               !LineHasRun(l, s.Col, kFieldCols, kWellRows);
  if (quiet && s.Dir == 'R') quiet = !LineHasRun(l, s.Col + 1, kFieldCols, kWellRows);
  if (quiet && s.Dir == 'D') quiet = !LineHasRun(l, s.OtherRow() * kFieldCols, 1, kFieldCols);
  if (quiet) {
    for (int32_t c = s.Col; c <= s.OtherCol() && quiet; ++c)
      for (int32_t r = std::max(s.Row - 1, 0); r <= s.OtherRow() && r + 1 < kWellRows; ++r)
        if (l[r * kFieldCols + c] != kEmpty && l[(r + 1) * kFieldCols + c] == kEmpty) quiet = false;
  }
  if (!quiet) std::swap(l[a], l[b]);
  return quiet;
}

// ---- the search ----

struct TNode {
  int32_t Parent = -1;
  int32_t Since = 0;     // ticks since the last swap was made (or the start)
  int8_t Col = -1;       // the swap that led here; -1: the well ran on without one
  int8_t Row = 0;
  char Dir = 'R';
  bool AtRestSwap = false;  // the swap was made on a well at rest
  uint8_t Depth = 0;
};

struct TOpen {
  int32_t Priority;
  uint32_t Order;
  int32_t Node;
  int32_t Pool;  // index of the moving well in the pool; -1: a well at rest held in Letters
  TLetters Letters;
  bool operator<(const TOpen& o) const {
    if (Priority != o.Priority) return Priority > o.Priority;
    return Order > o.Order;
  }
};

constexpr int32_t kSwapWeight = 14;  // one swap weighs a little more than one block

std::vector<TSwap> PathTo(const std::vector<TNode>& nodes, int32_t idx) {
  std::vector<TSwap> path;
  // Walking back, a swap's wait is the ticks from the previous swap to the well it was made on.
  int32_t ticks = 0;
  std::vector<int32_t> chain;
  for (int32_t i = idx; i >= 0; i = nodes[i].Parent) chain.push_back(i);
  std::reverse(chain.begin(), chain.end());
  for (size_t k = 1; k < chain.size(); ++k) {
    const TNode& n = nodes[chain[k]];
    const TNode& p = nodes[chain[k - 1]];
    if (n.Col < 0) continue;
    ticks = p.Since;
    path.push_back({n.Col, n.Row, n.Dir, n.AtRestSwap ? -1 : ticks});
  }
  return path;
}

}  // namespace

TField StageField(const uint8_t* cells) {
  TField f;
  f.Reset();
  f.Events = nullptr;
  f.Started = true;
  f.Raisable = false;
  for (int32_t r = 0; r < kWellRows; ++r) {
    for (int32_t c = 0; c < kFieldCols; ++c) {
      const uint8_t v = cells[r * kFieldCols + c];
      f.Letters[r][c] = static_cast<int16_t>(v > kEmpty ? kEmpty : v);
    }
  }
  for (int32_t c = 0; c < kFieldCols; ++c) f.Letters[kWellRows][c] = 0;
  return f;
}

TSolveReport TPuzzleSolver::Solve(const uint8_t* cells, const TSolveLimits& limits,
                                  const std::atomic<bool>* cancel,
                                  const std::function<void(int64_t, int32_t)>& progress) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  auto elapsed = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
  const int32_t dt = std::max(1, limits.Dt);
  const double budget = std::max(0, limits.TimeBudgetMs) / 1000.0;
  const int64_t maxWells = std::max<int64_t>(1000, limits.MaxWells);

  TSolveReport report;
  TWatch watch;
  TField base = StageField(cells);
  base.Events = &watch;
  const TLetters first = LettersOf(base);
  if (WellEmpty(base)) {
    report.Result = TProof::Solvable;
    report.Shortest = true;
    report.Seconds = elapsed();
    return report;
  }

  std::vector<TNode> nodes;
  std::vector<TField> pool;       // moving wells waiting to be explored
  std::vector<int32_t> freePool;  // their free slots
  std::priority_queue<TOpen> open;
  TSeen seen(static_cast<size_t>(std::min<int64_t>(maxWells, 1 << 16)));
  uint32_t order = 0;
  int32_t best = 256;  // swaps of the best solution found
  int32_t bestNode = -1;
  bool stopped = false;

  auto storeMoving = [&](const TField& f) {
    if (!freePool.empty()) {
      const int32_t i = freePool.back();
      freePool.pop_back();
      pool[static_cast<size_t>(i)] = f;
      return i;
    }
    pool.push_back(f);
    return static_cast<int32_t>(pool.size()) - 1;
  };
  // A well reached: the goal, dropped, or queued.
  auto reach = [&](const TNode& node, TStop stop, const TField* moving, const TLetters& resting) {
    if (stop == TStop::Stuck) return;
    if (stop == TStop::Emptied) {
      if (node.Depth < best) {
        nodes.push_back(node);
        best = node.Depth;
        bestNode = static_cast<int32_t>(nodes.size()) - 1;
        if (report.FirstSwaps == 0) {
          report.FirstSwaps = best;
          report.FirstSeconds = elapsed();
        }
      }
      return;
    }
    // A well at rest needs one more swap, a moving one may still empty by itself.
    if (node.Depth + (stop == TStop::Settled ? 1 : 0) >= best) return;
    TOpen o;
    if (stop == TStop::Settled) {
      o.Letters = resting;
      if (Hopeless(o.Letters) || !seen.Improve(HashResting(o.Letters), node.Depth)) return;
      o.Pool = -1;
    } else {
      int32_t count[26] = {};
      for (int32_t r = 0; r < kWellRows; ++r)
        for (int32_t c = 0; c < kFieldCols; ++c)
          if (moving->Letters[r][c] < 26) ++count[moving->Letters[r][c]];
      if (Hopeless(count) || !seen.Improve(HashMoving(*moving), node.Depth)) return;
      o.Letters = LettersOf(*moving);
      o.Pool = storeMoving(*moving);
    }
    nodes.push_back(node);
    o.Node = static_cast<int32_t>(nodes.size()) - 1;
    o.Priority = Score(o.Letters) + kSwapWeight * node.Depth;
    o.Order = order++;
    open.push(o);
  };

  {
    TNode root;
    TField f = base;
    if (Settled(f)) {
      reach(root, TStop::Settled, nullptr, first);
    } else {
      // A well that moves from the start: it is its own first decision point.
      nodes.push_back(root);
      TOpen o;
      o.Letters = first;
      o.Pool = storeMoving(f);
      o.Node = 0;
      o.Priority = 0;
      o.Order = order++;
      seen.Improve(HashMoving(f), 0);
      open.push(o);
    }
  }

  std::vector<TSwap> swaps;
  TField work = base;
  auto halted = [&] {
    return (cancel && cancel->load(std::memory_order_relaxed)) || elapsed() >= budget ||
           (limits.MaxNodes > 0 && report.Nodes >= limits.MaxNodes);
  };

  // First a layered beam over wells at rest (a swap, then the well runs on to rest): every
  // layer keeps the `width` most promising wells reached with one more swap. It only looks
  // for a solution quickly (swaps on moving wells make it slower, not better, at finding
  // one); it never decides that there is none. The complete search after it takes in the
  // swaps on moving wells.
  struct TSlot {
    TField Field;
    bool Resting;
    int32_t Node;
  };
  struct TCandidate {
    int32_t Score;
    uint64_t Hash;
    int32_t Slot;
    TSwap Swap;
  };
  // The beam lets a swapped well run on to rest (or empty) before judging it.
  auto RunToRest = [&](TField& f, int32_t& ticks) {
    ticks = 0;
    for (;;) {
      int32_t more = 0;
      const TStop stop = RunToDecision(f, watch, dt, more);
      ticks += more;
      if (stop != TStop::Decision) return stop;
    }
  };
  auto beam = [&](int32_t width, bool toRest) {
    TSeen beamSeen(4096);
    std::vector<TSlot> layer;
    {
      TField f = base;
      layer.push_back({f, Settled(f), -1});
    }
    std::vector<TCandidate> cands;
    int32_t rootNode = -1;
    for (int32_t depth = 0; depth + 1 < best && !layer.empty(); ++depth) {
      cands.clear();
      for (size_t i = 0; i < layer.size(); ++i) {
        if (halted()) return;
        if (progress && (i & 63) == 0) progress(report.Nodes, depth);
        const TSlot slot = layer[i];
        if (slot.Node < 0) {
          // The start: its own node.
          nodes.push_back(TNode{});
          rootNode = static_cast<int32_t>(nodes.size()) - 1;
          layer[i].Node = rootNode;
        }
        const int32_t at = layer[i].Node;
        if (!slot.Resting) {
          work = slot.Field;
          int32_t ticks = 0;
          const TStop stop = RunToDecision(work, watch, dt, ticks);
          ++report.Nodes;
          TNode next{at, nodes[static_cast<size_t>(at)].Since + ticks, -1, 0, 'R', false,
                     static_cast<uint8_t>(depth)};
          if (stop == TStop::Emptied) {
            reach(next, stop, nullptr, first);
            return;
          }
          if (stop != TStop::Stuck) {
            const bool resting = stop == TStop::Settled;
            const TLetters l = LettersOf(work);
            const uint64_t h = resting ? HashResting(l) : HashMoving(work);
            int32_t count[26] = {};
            for (uint8_t v : l)
              if (v < 26) ++count[v];
            if (!Hopeless(count) && beamSeen.Improve(h, depth)) {
              nodes.push_back(next);
              layer.push_back({work, resting, static_cast<int32_t>(nodes.size()) - 1});
            }
          }
          continue;  // the beam swaps only on wells at rest
        }
        CandidateSwaps(slot.Field, swaps);
        const TLetters from = LettersOf(slot.Field);
        for (TSwap s : swaps) {
          ++report.Nodes;
          TLetters l = from;
          TStop stop = TStop::Settled;
          int32_t ticks = 0;
          uint64_t h = 0;
          int32_t score = 0;
          if (!(slot.Resting && limits.QuietShortcut && QuietSwap(l, s))) {
            work = slot.Field;
            MakeSwap(work, s);
            if (work.SwapTimer == 0) continue;
            stop = toRest ? RunToRest(work, ticks) : RunToDecision(work, watch, dt, ticks);
            if (stop == TStop::Stuck) continue;
            l = LettersOf(work);
          }
          if (stop == TStop::Emptied) {
            s.Wait = slot.Resting ? -1 : nodes[static_cast<size_t>(at)].Since;
            TNode next{at, ticks, static_cast<int8_t>(s.Col), static_cast<int8_t>(s.Row), s.Dir,
                       slot.Resting, static_cast<uint8_t>(depth + 1)};
            reach(next, stop, nullptr, first);
            return;
          }
          if (Hopeless(l)) continue;
          if (stop == TStop::Settled) {
            h = HashResting(l);
            score = Score(l);
          } else {
            h = HashMoving(work);
            TLetters still = l;  // blinking blocks are as good as gone
            for (int32_t r = 0; r < kWellRows; ++r)
              for (int32_t c = 0; c < kFieldCols; ++c)
                if (work.Flags[r][c] & cfErasing) still[r * kFieldCols + c] = kEmpty;
            score = Score(still);
          }
          cands.push_back({score, h, static_cast<int32_t>(i), s});
        }
      }
      std::sort(cands.begin(), cands.end(), [](const TCandidate& a, const TCandidate& b) {
        if (a.Score != b.Score) return a.Score < b.Score;
        return a.Hash < b.Hash;
      });
      std::vector<TSlot> next;
      for (const TCandidate& c : cands) {
        if (static_cast<int32_t>(next.size()) >= width) break;
        if (!beamSeen.Improve(c.Hash, depth + 1)) continue;
        const TSlot& p = layer[static_cast<size_t>(c.Slot)];
        TSlot child{p.Field, true, -1};
        int32_t ticks = 0;
        TLetters l = LettersOf(p.Field);
        if (!(p.Resting && limits.QuietShortcut && QuietSwap(l, c.Swap))) {
          MakeSwap(child.Field, c.Swap);
          const TStop stop =
              toRest ? RunToRest(child.Field, ticks) : RunToDecision(child.Field, watch, dt, ticks);
          child.Resting = stop == TStop::Settled;
        } else {
          SetLetters(child.Field, l);
        }
        nodes.push_back(TNode{p.Node, ticks, static_cast<int8_t>(c.Swap.Col),
                              static_cast<int8_t>(c.Swap.Row), c.Swap.Dir, p.Resting,
                              static_cast<uint8_t>(depth + 1)});
        child.Node = static_cast<int32_t>(nodes.size()) - 1;
        next.push_back(child);
      }
      layer.swap(next);
    }
    (void)rootNode;
  };
  // A swap is judged by the well at rest after its whole chain, or (quicker, and better on
  // some stages) by the well at its first decision point; narrow beams first, wider ones
  // after. Once a solution is known a beam only looks for a shorter one, and only the beams
  // that judge wells at rest run (they find the shorter ones).
  struct TBeam {
    int32_t Width;
    bool ToRest;
  };
  for (const TBeam b : {TBeam{128, true}, TBeam{128, false}, TBeam{512, true},
                        TBeam{512, false}, TBeam{2048, true}, TBeam{2048, false},
                        TBeam{8192, true}}) {
    if (halted() || (bestNode >= 0 && !limits.Shortest)) break;
    if (bestNode >= 0 && !b.ToRest) continue;  // quick to a first solution, not to a short one
    beam(b.Width, b.ToRest);
  }

  int64_t sinceCheck = 0;
  if (bestNode >= 0 && !limits.Shortest) open = {};
  while (!open.empty()) {
    if (sinceCheck >= 256) {
      sinceCheck = 0;
      // Moving wells are kept whole (over a kilobyte each): a smaller share of the limit.
      if (halted() || static_cast<int64_t>(nodes.size()) >= maxWells ||
          static_cast<int64_t>(pool.size()) * 32 >= maxWells) {
        stopped = true;
        break;
      }
      if (progress && (report.Nodes & 0x3fff) < 256) progress(report.Nodes, open.top().Priority);
    }
    if (bestNode >= 0 && !limits.Shortest) break;
    const TOpen o = open.top();
    open.pop();
    const TNode here = nodes[static_cast<size_t>(o.Node)];
    const bool resting = o.Pool < 0;
    if (here.Depth + (resting ? 1 : 0) >= best) {
      if (!resting) freePool.push_back(o.Pool);
      continue;
    }
    TField from = base;
    if (resting) {
      SetLetters(from, o.Letters);
    } else {
      from = pool[static_cast<size_t>(o.Pool)];
      freePool.push_back(o.Pool);
    }

    // The well running on without a swap.
    if (!resting) {
      work = from;
      int32_t ticks = 0;
      const TStop stop = RunToDecision(work, watch, dt, ticks);
      ++report.Nodes;
      ++sinceCheck;
      TNode next{o.Node, here.Since + ticks, -1, 0, 'R', false, here.Depth};
      reach(next, stop, &work, LettersOf(work));
      if (bestNode >= 0 && !limits.Shortest) break;
      if (from.SwapTimer != 0) continue;  // no swap while one is under way
    }

    CandidateSwaps(from, swaps);
    for (const TSwap& s : swaps) {
      TNode next{o.Node, 0, static_cast<int8_t>(s.Col), static_cast<int8_t>(s.Row), s.Dir, resting,
                 static_cast<uint8_t>(here.Depth + 1)};
      ++report.Nodes;
      ++sinceCheck;
      if (resting && limits.QuietShortcut) {
        TLetters l = o.Letters;
        if (QuietSwap(l, s)) {
          reach(next, TStop::Settled, nullptr, l);
          continue;
        }
      }
      work = from;
      MakeSwap(work, s);
      if (work.SwapTimer == 0) continue;  // the well refused it
      int32_t ticks = 0;
      const TStop stop = RunToDecision(work, watch, dt, ticks);
      next.Since = ticks;
      reach(next, stop, &work, LettersOf(work));
      if (best <= 1 || (bestNode >= 0 && !limits.Shortest)) break;
    }
  }

  report.Seconds = elapsed();
  if (bestNode >= 0) {
    report.Result = TProof::Solvable;
    report.Solution = PathTo(nodes, bestNode);
    report.Shortest = !stopped && limits.Shortest;
  } else {
    report.Result = stopped ? TProof::Undecided : TProof::Unsolvable;
  }
  return report;
}

TField PlaySolutionPrefix(const uint8_t* cells, const std::vector<TSwap>& solution, size_t count,
                          int32_t dt) {
  dt = std::max(1, dt);
  TField f = StageField(cells);
  auto runToRest = [&] {
    for (int32_t i = 0; i < kMaxRunTicks && !Settled(f); ++i) f.Tick(dt);
  };
  int32_t since = 0;
  for (size_t i = 0; i < count && i < solution.size(); ++i) {
    const TSwap& s = solution[i];
    if (s.Wait < 0) {
      runToRest();
    } else {
      for (; since < s.Wait; ++since) f.Tick(dt);
    }
    if (s.Col < 0 || s.Row < 0 || s.OtherCol() >= kFieldCols || s.OtherRow() >= kWellRows ||
        (s.Dir != 'R' && s.Dir != 'D'))
      continue;
    MakeSwap(f, s);
    since = 0;
  }
  runToRest();
  return f;
}

std::vector<std::string> CheckStage(const uint8_t* cells) {
  std::vector<std::string> problems;
  TField f = StageField(cells);
  const TLetters l = LettersOf(f);
  if (Blocks(l) == 0) {
    problems.push_back("The well holds no block.");
    return problems;
  }
  f.Started = false;  // runs are only flagged, as before a game starts
  if (f.CheckMatches()) problems.push_back("A run already stands in the well.");
  if (Floats(l)) problems.push_back("A block hangs over an empty cell.");
  int32_t count[26] = {};
  for (uint8_t v : l)
    if (v < 26) ++count[v];
  std::string lost;
  for (int32_t n = 0; n < 26; ++n) {
    if (count[n] == 0 || count[n] >= 3) continue;
    bool ok = false;
    for (int32_t m = n - 2; m <= n && !ok; ++m)
      ok = m >= 0 && m + 2 < 26 && count[m] > 0 && count[m + 1] > 0 && count[m + 2] > 0;
    if (ok) continue;
    if (!lost.empty()) lost += ", ";
    lost += static_cast<char>('A' + n);
  }
  if (!lost.empty())
    problems.push_back("Can never vanish: " + lost + ". The stage has no solution.");
  return problems;
}

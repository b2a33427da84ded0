#include "game/stage_set_play.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "game/gamedata.h"
#include "game/text_file.h"

namespace {

constexpr std::string_view kProgressMagic = "vexa-progress 1";

int32_t Within(int32_t v, int32_t stages) {
  return v < 0 ? 0 : (v >= stages ? stages - 1 : v);
}

}  // namespace

bool TStageSetPlay::Load(const std::string& path, std::string& error) {
  TStageSet set;
  if (!LoadStageSet(path, set, error)) return false;
  if (set.Stages.empty()) {
    error = "the set has no stage to play";
    return false;
  }
  StageSet = std::move(set);
  SetPath = path;
  return true;
}

std::string TStageSetPlay::ProgressPath(const std::string& setPath) {
  const std::string ext = TStageSet::kExtension;
  if (setPath.size() > ext.size() && setPath.ends_with(ext))
    return setPath.substr(0, setPath.size() - ext.size()) + kProgressExtension;
  return setPath + kProgressExtension;
}

std::string TStageSetPlay::WriteProgress(int32_t continueStage, int32_t reached) {
  return std::string(kProgressMagic) + "\ncontinue = " + std::to_string(continueStage + 1) +
         "\nreached = " + std::to_string(reached + 1) + "\n";
}

bool TStageSetPlay::ParseProgress(std::string_view text, int32_t stages, int32_t& continueStage,
                                  int32_t& reached) {
  if (stages < 1 || text.size() > kMaxProgressSize) return false;
  int32_t values[2] = {-1, -1};
  bool first = true;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (first) {
      if (line != kProgressMagic) return false;
      first = false;
      continue;
    }
    if (line.empty()) continue;
    int32_t slot = -1;
    if (line.starts_with("continue = ")) {
      slot = 0;
      line.remove_prefix(11);
    } else if (line.starts_with("reached = ")) {
      slot = 1;
      line.remove_prefix(10);
    } else {
      return false;
    }
    if (line.empty() || line.size() > 3) return false;
    int32_t n = 0;
    for (char c : line) {
      if (c < '0' || c > '9') return false;
      n = n * 10 + (c - '0');
    }
    values[slot] = n - 1;
  }
  if (first || values[0] < 0 || values[1] < 0) return false;
  continueStage = Within(values[0], stages);
  reached = Within(values[1], stages);
  if (continueStage > reached) reached = continueStage;
  return true;
}

void TStageSetPlay::Begin(GameData& data) {
  const int32_t stages = StageCount();
  std::memset(data.PuzzleData, TStageSet::kEmptyCell, sizeof data.PuzzleData);
  for (int32_t s = 0; s < stages; ++s)
    std::memcpy(data.PuzzleData + TStageSet::kCells * s, StageSet.Stages[s].data(),
                TStageSet::kCells);
  data.StageCount = stages;
  data.StageSet = this;
  BuiltInContinue = data.ContinueStage;
  BuiltInMax = data.MaxStage;
  int32_t continueStage = 0, reached = 0;
  std::string text, error;
  if (!ReadTextFile(ProgressPath(SetPath), kMaxProgressSize, text, error) ||
      !ParseProgress(text, stages, continueStage, reached))
    continueStage = reached = 0;
  data.ContinueStage = continueStage;
  data.MaxStage = reached;
}

bool TStageSetPlay::KeepProgress(const GameData& data) {
  const std::string path = ProgressPath(SetPath);
  const int32_t stages = StageCount();
  const std::string text = WriteProgress(Within(data.ContinueStage, stages),
                                         Within(data.MaxStage, stages));
  const bool ok = WriteTextFile(path, text);
  if (!ok && !WriteFailureTold) {
    WriteFailureTold = true;
    std::fprintf(stderr, "vexa: the progress of the stage set cannot be kept in %s\n",
                 path.c_str());
  }
  return ok;
}

void TStageSetPlay::PutBuiltInProgress(GameData& data) const {
  data.ContinueStage = BuiltInContinue;
  data.MaxStage = BuiltInMax;
}

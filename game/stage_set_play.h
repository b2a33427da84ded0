#pragma once
// TStageSetPlay: a stage set played instead of the game's own stages (vexa --stages FILE).
// Its stages go into GameData.PuzzleData for the run, and the set's own progress (where
// CONTINUE starts and how far SELECT STAGE reaches) takes the place of the save file's
// while it is played. That progress is kept in a small file beside the set:
//
//   FILE.vexa-stages  ->  FILE.vexa-progress
//
//   vexa-progress 1
//   continue = 2        the stage CONTINUE starts at (1-based)
//   reached = 3         the furthest stage reached (1-based)
//
// The save file keeps the built-in stages' progress untouched: every save made while a set
// is played writes the built-in values kept aside when the set began.
#include <cstdint>
#include <string>
#include <string_view>

#include "game/stage_set.h"

struct GameData;

class TStageSetPlay {
 public:
  static constexpr const char* kProgressExtension = ".vexa-progress";
  static constexpr size_t kMaxProgressSize = 1024;

  // Reads the set at path; false with a one-line message when it cannot be played (it is
  // damaged, or has no stage).
  bool Load(const std::string& path, std::string& error);
  // The progress file of a set file: its extension replaced (or, without it, added to).
  static std::string ProgressPath(const std::string& setPath);

  // Puts the set into the game data: its stages (the cells after them empty), their count,
  // and its progress from the progress file (a missing or damaged one starts at stage 1) in
  // place of the built-in stages' progress, which is kept aside.
  void Begin(GameData& data);
  // Writes the set's progress from the game data to the progress file; false when it could
  // not be written (told once on standard error; the game plays on).
  bool KeepProgress(const GameData& data);
  // The built-in stages' progress put back into a copy of the game data, for the save file.
  void PutBuiltInProgress(GameData& data) const;

  // The progress text, and back (false for a text that is not one; continue and reached
  // are 0-based here, kept within the set's stages).
  static std::string WriteProgress(int32_t continueStage, int32_t reached);
  static bool ParseProgress(std::string_view text, int32_t stages, int32_t& continueStage,
                            int32_t& reached);

  const TStageSet& Set() const { return StageSet; }
  const std::string& Path() const { return SetPath; }
  int32_t StageCount() const { return static_cast<int32_t>(StageSet.Stages.size()); }

 private:
  TStageSet StageSet;
  std::string SetPath;
  int32_t BuiltInContinue = 0;
  int32_t BuiltInMax = 0;
  bool WriteFailureTold = false;
};

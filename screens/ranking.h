#pragma once
// TRankingMode: shows the endless game's table of the ten best results. It works on its own
// copy of GameData.Ranking, so leaving it changes nothing.
//
// Rows whose game was kept as a replay are marked with a star. UP and DOWN choose one (the
// arrow), and the raise button (B: X, or V in the second control setting) plays it through
// the game screen; ESC ends it early. Then the table comes back as it was.
#include <cstdint>
#include <memory>
#include <string>

#include "screens/menu.h"
#include "screens/replay_marks.h"

class TRankingMode : public TMenuMode {
 public:
  TRankingMode(TGameMode* parent, TKernel* kernel, void* data);
  ~TRankingMode() override;

  void Draw() override;
  void Init() override;
  const char* ClassName() const override { return "TRankingMode"; }

  // Draws the headings on line y and the ten rows below them; the numbers of row
  // highlightRow (-1 for none) cycle their colours.
  void DrawRankTable(int32_t x, int32_t y, int32_t highlightRow);

  // The text font a name is drawn in: the colour its difficulty has on the level screen,
  // font 0 for a difficulty no game makes.
  static int32_t NameFont(uint8_t difficulty);

  int32_t Scores[kRankRows] = {};
  int32_t Levels[kRankRows] = {};  // 0-based
  int32_t BlockCounts[kRankRows] = {};
  uint8_t Difficulties[kRankRows] = {};
  std::string Names[kRankRows];
  bool HasReplay[kRankRows] = {};
  int32_t ReplayRow = -1;  // the row whose replay B plays, -1 when none has one

  // Ends a replay early on ESC; otherwise runs the screen (or the replay over it).
  void Update(int32_t dt) override;

 protected:
  void ReadEntries() override;
  // False on a screen that uses B and the arrows for something else (the name entry).
  bool OffersReplays = true;

 private:
  void StartReplay();
  void EndReplay();

  bool Replaying = false;
  ::GameData Saved;  // the game data as it was before the replay set it up
  TReplayMarks Marks{*this};
};

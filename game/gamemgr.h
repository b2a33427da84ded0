#pragma once
// TGameMgrMode: the game manager. One instance is the root mode that registers every sprite
// and sound and sequences the screens; the class is also the base of every screen, which
// reaches GameData, the save file and the shared drawing and sound helpers through it.
#include <cstdint>
#include <string>

#include "engine/gamemode.h"
#include "game/gamedata.h"

// The screens the sequencer creates.
enum class TScreenId {
  Logo,
  Title,
  Ranking,
  Config,
  Select,
  LvSelect,
  GameMain,
  RegRank,
  ContSelect,
  Reward,
  PuzSave,
  Ending,
  Workshop,
};

// The sequencer's steps, the values the root's Phase runs through. A step either creates
// the next screen or chooses the next step from what the finished screen left in GameData.
enum class TMgrStep : int32_t {
  ShowLogo = 0,
  LoadCatalogue = 1,
  ShowTitle = 2,
  AfterTitle = 3,     // branches on TitleChoice
  ShowRanking = 4,
  ShowOptions = 5,
  ShowGameType = 6,
  AfterGameType = 7,  // back to the title, or on to the level or continue screen
  ShowLevel = 8,
  PlayEndless = 9,    // back to the game type, or the endless game
  ShowNameEntry = 10,
  ShowContinue = 11,
  PlayStage = 12,     // back to the game type, or the next puzzle stage
  AfterStage = 13,    // the retry prompt, a reward picture, the next stage or the ending
  ShowRetry = 14,
  AfterRetry = 15,
  ShowEnding = 16,
};

class TGameMgrMode;
// Makes the screen of the given id as a child of parent (with parent's kernel and data).
using TScreenFactory = TGameMgrMode* (*)(TScreenId id, TGameMgrMode* parent);

class TGameMgrMode : public TGameMode {
 public:
  TGameMgrMode(TGameMode* parent, TKernel* kernel, void* data);

  void Init() override;
  void Move(int32_t dt) override;
  void Leave() override;
  const char* ClassName() const override { return "TGameMgrMode"; }

  void LoadCatalogue();
  // On a pending back request: clears it, goes to the given step and returns true.
  bool ConsumeBack(TMgrStep step);
  void LoadSaveData();
  void WriteSaveData();

  // Drawing and sound helpers shared by every screen.
  void DrawText(int32_t x, int32_t y, const std::string& text, int32_t font, bool wave);
  static int32_t TextWidth(const std::string& text);
  void DrawNumber(int32_t x, int32_t y, int32_t number, int32_t font);
  void DrawNumberLeft(int32_t x, int32_t y, int32_t number, int32_t font);
  void DrawCursor(int32_t x, int32_t y);
  void DrawPushEnter(int32_t x, int32_t y);
  void DrawMiniLogo();
  void DrawBack();
  void PlaySelect();
  void PlayDecide();
  void PlayCancel();
  void PlayBgm(int32_t bgm);
  void RegisterImage(const std::string& key, int32_t index);
  void RegisterCells(const std::string& key, int32_t index);
  void ApplyKeyConfig();

  // The end of a screen's Init: the picture is shown fully faded, ready to fade in, and the
  // mode's own start (TGameMode::Init) follows.
  void StartFadedOut();

  // Creates the given screen as this mode's child through the factory in use; without one
  // no screen is made and the sequencer takes its next step.
  void CreateScreenChild(TScreenId id);
  // The application registers the game's screens at start-up, before the first tick.
  static void RegisterScreens(TScreenFactory factory);
  // Tests replace the factory to observe the sequencer; null restores the registered one.
  static void SetScreenFactory(TScreenFactory factory);

  ::GameData* GameData = nullptr;  // the game's shared data: always given, never null
};

// Glyph index of a font character: 'A'..'Z' 0..25, '?' 26, '!' 27, space 28; -1 for a
// character outside the font (it steps over like a space).
int32_t GlyphIndex(char c);
// The bitmap font's advance of a character in pixels.
int32_t GlyphAdvance(char c);

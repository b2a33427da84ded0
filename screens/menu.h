#pragma once
// TMenuMode: the shape every menu screen shares. The picture fades in, the player moves a
// cursor and decides (or cancels), the picture fades out, and the screen blacks out and
// finishes. Input is read every tick, during the fades too, so a press made while the
// picture still comes up is acted on as soon as the player can choose. A screen keeps only
// its entries (ReadEntries), its drawing and what it writes into GameData (Decide, Cancel,
// Leave).
#include <cstdint>
#include <initializer_list>

#include "game/gamemgr.h"

// The phases of the menu cycle, the values Phase runs through.
enum TMenuCycle : int32_t {
  kMenuFadeIn = 0,
  kMenuChoose = 1,
  kMenuFadeOut = 2,
  kMenuClose = 3,
};

class TMenuMode : public TGameMgrMode {
 public:
  // A screen made withCancel reads btB as cancel; the others have no way back.
  TMenuMode(TGameMode* parent, TKernel* kernel, void* data, bool withCancel);

  // Opens on the first entry with nothing chosen, fully faded, ready to fade in.
  void Init() override;
  // Reads the input, then runs the cycle; the choice is taken in kMenuChoose.
  void Move(int32_t dt) override;
  // The screen's entries first, then decide, then cancel, each with its sound.
  void Control() override;

  int32_t Cursor = 0;
  bool Decided = false;
  bool Cancelled = false;

 protected:
  // The screen's own keys: its cursor and any values it changes.
  virtual void ReadEntries() {}
  // The fade-in has just ended.
  virtual void Shown() {}
  // Runs every tick of kMenuChoose. By default a cancel, then a decide, each leaves for
  // the fade-out; both in the same tick step over it and the screen closes at once.
  virtual void Choose();
  // What a cancel or a decide writes as the screen starts to leave. A cancel asks the
  // manager to go back a step (GameData.BackRequest) unless the screen says otherwise.
  virtual void Cancel();
  virtual void Decide() {}

  // Moves a list cursor of count entries up or down for the btUp / btDown bits given
  // (fresh presses or repeats, as the screen chooses), wrapping at both ends.
  void StepCursor(uint16_t buttons, int32_t& cursor, int32_t count);
  // A choice of two: a press of toFirst picks entry 0, one of toSecond entry 1; a press
  // toward the entry already chosen still sounds.
  void PickOfTwo(uint16_t pushed, uint16_t toFirst, uint16_t toSecond);
  // Leaves kMenuChoose for the fade-out; a second call in the same tick closes at once.
  void LeaveMenu() { ++Phase; }

  // What a menu screen below the title shows behind its entries: the back picture, its
  // heading sprite at (x, y), its title (if any) waving at (titleX, 120) in titleFont, PUSH
  // ENTER and the small logo.
  void DrawFrame(const char* heading, int32_t x, int32_t y, const char* title = nullptr,
                 int32_t titleX = 0, int32_t titleFont = 0);
  // A list of entries, each in its font, at textX from y = top, step apart, with the cursor
  // at cursorX on the chosen one.
  struct TEntry {
    const char* Text;
    int32_t Font;
  };
  void DrawEntries(int32_t cursorX, int32_t textX, int32_t top, int32_t step,
                   std::initializer_list<TEntry> entries);

 private:
  const bool WithCancel = false;
};

#pragma once
// TCreditActor: one line of the ending's staff credits, rising over the picture; the group
// form holds the lines. The closing line (Kind 1) stops at the middle of the screen.
#include <cstdint>

#include "engine/actor.h"

class TCreditActor : public TActor {
 public:
  enum : int32_t { LastLine = 1 };
  static constexpr float kRiseSpeed = -64.0f;  // pixels per second
  static constexpr float kRestY = 192.0f;      // where the closing line stops
  static constexpr float kGoneY = -40.0f;      // above this a line is removed

  // Group.
  TCreditActor(TGameMgrMode* mode, int32_t kind);
  // Line.
  TCreditActor(TActor* owner, float x, float y, TGameMgrMode* mode, int32_t kind);

  void Act(int32_t dt) override;
  void Draw() override;
  // On a group: a new line at (x, y), added to the group; none on a line.
  TActor* Spawn(float x, float y, int32_t kind) override;

  // Left edge of a line's text centred on x: each byte of the double-byte encoding is 8
  // pixels wide in the game's font.
  static int32_t TextLeft(float x, const char* text);

  const char* Text = nullptr;
};

#pragma once
// TCreditActor: one line of the ending's staff credits, rising over the picture; the group
// form holds the lines. The closing line (Kind 1) stops at the middle of the screen.
#include <cstdint>
#include <string>

#include "engine/actor.h"

class TCreditActor : public TActor {
 public:
  enum : int32_t { LastLine = 1 };
  static constexpr float kRiseSpeed = -64.0f;  // pixels per second
  static constexpr float kRestY = 192.0f;      // where the closing line stops
  static constexpr float kGoneY = -40.0f;      // above this a line is removed
  // The game's own lines (full-width characters) are drawn 14 pixels high, 7 pixels per
  // byte of the double-byte encoding: the widest, 36 bytes, is 252 pixels, narrow enough
  // for the open sky between the ending picture's letter blocks and its figure.
  static constexpr int32_t kOwnTextHeight = 14;
  static constexpr int32_t kColumnWidth = 256;
  // A translated line is measured: as large as kTranslatedHeight while it fits the column.
  static constexpr int32_t kTranslatedHeight = 18;
  // The closing line stays alone in the middle: larger, in either kind of text.
  static constexpr int32_t kClosingHeight = 24;
  // Light letters in a dark outline read on every part of the picture.
  static constexpr uint32_t kTextColor = 0xFFFFFF;
  static constexpr uint32_t kOutlineColor = 0x1C1428;
  static constexpr int32_t kOutline = 2;

  // Group.
  TCreditActor(TGameMode* mode, int32_t kind);
  // Line.
  TCreditActor(TActor* owner, float x, float y, TGameMode* mode, int32_t kind);

  void Act(int32_t dt) override;
  void Draw() override;
  // On a group: a new line at (x, y), added to the group; none on a line.
  TActor* Spawn(float x, float y, int32_t kind) override;

  // Left edge of one of the game's own lines centred on x: each byte of the double-byte
  // encoding is half the font's height wide in the game's fixed-pitch font.
  static int32_t TextLeft(float x, const char* text, int32_t height = kOwnTextHeight);

  const char* Text = nullptr;

 private:
  void DrawTranslated(const char* shown, int32_t largest);
  // The font height at which FittedText fits the column.
  std::string FittedText;
  int32_t FittedHeight = 0;
};

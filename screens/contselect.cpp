#include "screens/contselect.h"

#include "engine/kernel.h"
#include "game/stage_set_play.h"
#include "media/kormidi.h"

namespace {
constexpr int32_t kEntries = 3;
constexpr int32_t kSelectStage = 2;
}  // namespace

TContSelectMode::TContSelectMode(TGameMode* parent, TKernel* kernel, void* data)
    : TMenuMode(parent, kernel, data, true) {}

int32_t TContSelectMode::LastSelectable() const { return StageWithin(GameData->MaxStage); }

int32_t TContSelectMode::StageWithin(int32_t stage) const {
  const int32_t count = GameData->StageCount < kStageCount ? GameData->StageCount : kStageCount;
  stage = ClampStage(stage);
  return stage >= count ? (count > 0 ? count - 1 : 0) : stage;
}

void TContSelectMode::Init() {
  TMenuMode::Init();
  SelStage = LastSelectable();
}

void TContSelectMode::ReadEntries() {
  const uint16_t pushed = Kernel->Pushed;
  const uint16_t repeat = Kernel->Repeat;
  StepCursor(pushed, Cursor, kEntries);
  // The stage number wraps both ways over 0..LastSelectable() and repeats while held.
  if ((repeat & btLeft) && Cursor == kSelectStage) {
    if (--SelStage < 0) SelStage = LastSelectable();
    PlaySelect();
  }
  if ((repeat & btRight) && Cursor == kSelectStage) {
    if (++SelStage > LastSelectable()) SelStage = 0;
    PlaySelect();
  }
}

// The game screen starts its own music.
void TContSelectMode::Decide() {
  Kernel->Midi->Stop();
}

void TContSelectMode::Draw() {
  DrawFrame("パズル", 8, 8, "SELECT GAME", 140, 1);
  DrawEntries(148, 180, 160, 40, {{"NEW GAME", 0}, {"CONTINUE", 2}, {"SELECT STAGE", 3}});
  // Shown 1-based; its digits cycle their colours while the number can be changed.
  DrawNumber(420, 244, SelStage + 1, Cursor == kSelectStage ? -1 : 3);
  // A stage set being played shows its name, in the letters the font has.
  if (const TStageSetPlay* set = GameData->StageSet) {
    std::string name;
    for (char c : set->Set().Name) {
      if (name.size() == 24) break;
      const char u = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
      name += GlyphIndex(u) >= 0 ? u : ' ';
    }
    DrawText(256 - TextWidth(name) / 2, 300, name, 1, false);
  }
}

void TContSelectMode::Leave() {
  if (Cancelled) return;
  ::GameData& d = *GameData;
  switch (Cursor) {
    case 0:  // NEW GAME: the saved continue point starts over
      d.Stage = 0;
      d.ContinueStage = 0;
      break;
    case 1:  // CONTINUE; a continue point out of range never reaches the game screen
      d.Stage = StageWithin(d.ContinueStage);
      break;
    default:  // SELECT STAGE
      d.Stage = StageWithin(SelStage);
      break;
  }
  d.StageTime = 0;
  d.Retries = 0;
}

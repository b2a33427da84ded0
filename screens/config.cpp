#include "screens/config.h"

#include <cstdio>

#include "engine/kernel.h"
#include "media/kordraw.h"

namespace {

constexpr const char* kSampleBlocks = "見本ブロック";
constexpr const char* kSampleBack = "見本背景";
constexpr int32_t kValueCounts[TConfigMode::kItemCount] = {5, 2, 3, 2};

// Top of the first row and the step of the cursor between rows.
constexpr int32_t kRowX = 140;
constexpr int32_t kRowY = 52;
constexpr int32_t kRowStep = 64;
// Where the values of the rows are drawn.
constexpr int32_t kValueX = 172;

const char* const kBgmNames[3] = {"BGM A", "BGM B", "NO BGM"};

}  // namespace

TConfigMode::TConfigMode(TGameMode* parent, TKernel* kernel, void* data)
    : TMenuMode(parent, kernel, data, true) {}

TConfigMode::~TConfigMode() = default;

void TConfigMode::Init() {
  TMenuMode::Init();
  Values[kItemBlock] = GameData->BlockType;
  Values[kItemBack] = GameData->BackType;
  Values[kItemBgm] = GameData->BgmType;
  Values[kItemControl] = GameData->ControlType;
  for (int32_t i = 0; i < kItemCount; ++i) {
    Counts[i] = kValueCounts[i];
    // A damaged save file may hold any number: the screen starts such a row at its first
    // value, which is also what the game shows for it.
    if (Values[i] < 0 || Values[i] >= Counts[i]) Values[i] = 0;
  }
  RegisterCells(kSampleBlocks, Values[kItemBlock]);
  RegisterImage(kSampleBack, Values[kItemBack]);
  // The stored music: from the title this replaces the title song; inside a game the song
  // that already plays goes on.
  PlayBgm(-1);
}

void TConfigMode::ReadEntries() {
  const uint16_t pushed = Kernel->Pushed;
  // Rows move with auto-repeat; values change on fresh presses only and wrap both ways.
  StepCursor(Kernel->Repeat, Item, kItemCount);
  if (pushed & btLeft) {
    Values[Item] = Values[Item] <= 0 ? Counts[Item] - 1 : Values[Item] - 1;
    PlaySelect();
    PreviewItem();
  }
  if (pushed & btRight) {
    Values[Item] = Values[Item] >= Counts[Item] - 1 ? 0 : Values[Item] + 1;
    PlaySelect();
    PreviewItem();
  }
}

void TConfigMode::Choose() {
  if (Decided || Cancelled) LeaveMenu();
}

void TConfigMode::PreviewItem() {
  switch (Item) {
    case kItemBlock:
      RegisterCells(kSampleBlocks, Values[kItemBlock]);
      break;
    case kItemBack:
      RegisterImage(kSampleBack, Values[kItemBack]);
      break;
    case kItemBgm:
      PlayBgm(Values[kItemBgm]);
      break;
    default:
      // The key assignment takes effect only when the options are applied.
      break;
  }
}

void TConfigMode::ApplyOptions() {
  GameData->BlockType = Values[kItemBlock];
  GameData->BackType = Values[kItemBack];
  GameData->BgmType = Values[kItemBgm];
  GameData->ControlType = Values[kItemControl];
  // A game in progress shows the new blocks and background as soon as it draws again.
  RegisterCells("ブロック", GameData->BlockType);
  RegisterImage("背景", GameData->BackType);
  PlayBgm(-1);
  ApplyKeyConfig();
}

void TConfigMode::Leave() {
  if (Decided) {
    ApplyOptions();
    WriteSaveData();
  }
  Kernel->Draw->DeleteSprite(kSampleBlocks);
  Kernel->Draw->DeleteSprite(kSampleBack);
}

void TConfigMode::Draw() {
  TKorDraw* draw = Kernel->Draw;
  // The back picture covers the whole screen, but its black pixels are transparent: clear
  // first so that nothing of the previous screen shows through them.
  draw->Clear();
  draw->Draw(0, 0, kSampleBack, 0);
  DrawText(200, 16, "OPTION", 2, true);
  DrawPushEnter(168, 340);
  DrawMiniLogo();

  DrawCursor(108, kRowY + kRowStep * Item);
  DrawText(kRowX, kRowY, "BLOCK", 3, false);
  DrawText(kRowX, kRowY + kRowStep, "BACK GRAPHIC", 1, false);
  DrawText(kRowX, kRowY + 2 * kRowStep, "BGM", 2, false);
  // CONTROL sits 196 pixels below the first row, a little lower than the cursor's step.
  DrawText(kRowX, kRowY + 196, "CONTROL", 0, false);

  for (int32_t i = 0; i < 4; ++i) draw->Draw(kValueX + 32 * i, 76, kSampleBlocks, i);
  DrawText(kValueX, 146, Values[kItemBack] == 0 ? "TYPE A" : "TYPE B", 0, false);
  const int32_t bgm = Values[kItemBgm];
  DrawText(kValueX, 210, kBgmNames[bgm >= 0 && bgm < 3 ? bgm : 0], 3, false);
  if (Values[kItemControl] == 0) {
    DrawText(kValueX, 278, "Z KEY", 1, false);
    DrawText(kValueX, 308, "X KEY", 2, false);
  } else {
    DrawText(kValueX, 278, "SPACE KEY", 1, false);
    DrawText(kValueX, 308, "V KEY", 2, false);
  }
}

std::string TConfigMode::DumpState() const {
  char buf[128];
  std::snprintf(buf, sizeof buf, " Item=%d Values=%d,%d,%d,%d Decided=%d Cancelled=%d", Item,
                Values[0], Values[1], Values[2], Values[3], Decided ? 1 : 0, Cancelled ? 1 : 0);
  return buf;
}

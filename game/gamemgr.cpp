#include "game/gamemgr.h"

#include <cmath>
#include <cstdio>

#include "engine/kernel.h"
#include "game/savefile.h"
#include "game/stage_set_play.h"
#include "media/kordraw.h"
#include "media/korinput.h"
#include "media/kormidi.h"
#include "media/korsound.h"
#include "platform/keycodes.h"

namespace {

TScreenFactory gScreens = nullptr;  // the game's own, registered by the application
TScreenFactory gFactory = nullptr;  // a test's replacement

struct SpriteEntry {
  const char* Key;
  const char* Resource;
  int32_t CellWidth;
  int32_t CellHeight;
};

// The sprites every screen shares, registered once after the logo.
constexpr SpriteEntry kSprites[] = {
    {"タイトル背景", "BACK1", 0, 0},
    {"タイトル", "TITLE", 0, 0},
    {"サブタイトル", "TITLE2", 0, 0},
    {"コピーライト", "COPYRIGHT", 0, 0},
    {"ミニロゴ", "MINILOGO", 0, 0},
    {"枠", "FRAME", 32, 32},
    {"カーソル", "CURSOR", 40, 40},
    {"ゲームオーバー", "GAMEOVER", 0, 0},
    {"ステージクリア", "CLEAR", 36, 0},
    {"ＲＥＡＤＹ", "READY", 0, 0},
    {"ＧＯ", "GO", 0, 0},
    {"矢印", "ARROW", 48, 32},
    {"吹き出し", "BALLOON", 0, 0},
    {"Font0", "FONT0", 24, 24},
    {"Font1", "FONT1", 24, 24},
    {"Font2", "FONT2", 24, 24},
    {"Font3", "FONT3", 24, 24},
    {"FontCurs", "FONT_CURS", 24, 24},
    {"Num0", "NUM0", 16, 16},
    {"Num1", "NUM1", 16, 16},
    {"Num2", "NUM2", 16, 16},
    {"Num3", "NUM3", 16, 16},
    {"Colon", "COLON", 16, 16},
    {"セレクト見出し", "SELECT", 0, 0},
    {"エンドレス", "ENDLESS", 0, 0},
    {"パズル", "PUZZLE", 0, 0},
    {"顔", "FACE00", 0, 0},
    {"表情", "FACE01", 72, 54},
    {"まばたき", "FACE02", 54, 20},
    {"フラッシュ", "FLASH", 32, 32},
    {"星", "STAR", 16, 16},
    {"ご褒美", "REWARD", 102, 76},
};

struct SoundEntry {
  const char* Key;
  const char* Resource;
};

constexpr SoundEntry kSounds[] = {
    {"選択", "SELECT"},      {"決定", "DECIDE"},          {"キャンセル", "CANCEL"},
    {"ポーズ", "PAUSE"},     {"入れ替え", "EXCHG"},       {"落下", "FALL"},
    {"ゲームオーバー", "GAMEOVER"}, {"ステージクリア", "CLEAR"}, {"レディーゴー", "READY"},
    {"消去", "ERASE"},       {"星", "STAR"},
};

const char* const kBackNames[] = {"BACK1", "BACK2"};
const char* const kBlockNames[] = {"BLOCK1", "BLOCK2", "BLOCK3", "BLOCK4", "BLOCK5"};
const char* const kFontKeys[] = {"Font0", "Font1", "Font2", "Font3"};
const char* const kNumKeys[] = {"Num0", "Num1", "Num2", "Num3"};
constexpr int32_t kCursorBob[4] = {-4, -2, 0, 2};

// Font and digit colours: 0..3, or -1 for the colour that cycles every frame. Anything else
// (never asked for by the game) falls back to colour 0.
int32_t ColourIndex(int32_t font, int32_t elapsed) {
  if (font == -1) return elapsed % 3;
  if (font < 0 || font > 3) return 0;
  return font;
}

}  // namespace

int32_t GlyphIndex(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c == '?') return 26;
  if (c == '!') return 27;
  if (c == ' ') return 28;
  return -1;
}

int32_t GlyphAdvance(char c) {
  switch (c) {
    case 'I': return 14;
    case 'M':
    case 'N':
    case 'W': return 20;
    default: return 18;
  }
}

TGameMgrMode::TGameMgrMode(TGameMode* parent, TKernel* kernel, void* data)
    : TGameMode(parent, kernel, data), GameData(static_cast<::GameData*>(data)) {}

void TGameMgrMode::Init() {
  GameData->BackRequest = false;
  GameData->StageFailed = false;
  GameData->RetryRequest = false;
  TGameMode::Init();
}

void TGameMgrMode::Leave() {}

void TGameMgrMode::RegisterScreens(TScreenFactory factory) { gScreens = factory; }

void TGameMgrMode::SetScreenFactory(TScreenFactory factory) { gFactory = factory; }

void TGameMgrMode::CreateScreenChild(TScreenId id) {
  DeleteChild();
  const TScreenFactory factory = gFactory ? gFactory : gScreens;
  Child = factory ? factory(id, this) : nullptr;
}

void TGameMgrMode::Move(int32_t) {
  ::GameData& d = *GameData;
  auto goTo = [this](TMgrStep step) { Phase = static_cast<int32_t>(step); };
  switch (static_cast<TMgrStep>(Phase)) {
    case TMgrStep::ShowLogo:
      CreateScreenChild(TScreenId::Logo);
      goTo(TMgrStep::LoadCatalogue);
      break;
    case TMgrStep::LoadCatalogue:
      LoadCatalogue();
      goTo(TMgrStep::ShowTitle);
      break;
    case TMgrStep::ShowTitle:
      Init();
      CreateScreenChild(TScreenId::Title);
      goTo(TMgrStep::AfterTitle);
      break;
    case TMgrStep::AfterTitle:
      if (d.TitleChoice == 0)
        goTo(TMgrStep::ShowGameType);
      else if (d.TitleChoice == 1)
        goTo(TMgrStep::ShowRanking);
      else if (d.TitleChoice == 2)
        goTo(TMgrStep::ShowOptions);
      else
        goTo(TMgrStep::ShowTitle);  // a choice the title never makes: back to the title
      break;
    case TMgrStep::ShowRanking:
      CreateScreenChild(TScreenId::Ranking);
      goTo(TMgrStep::ShowTitle);
      break;
    case TMgrStep::ShowOptions:
      CreateScreenChild(TScreenId::Config);
      goTo(TMgrStep::ShowTitle);
      break;
    case TMgrStep::ShowGameType:
      CreateScreenChild(TScreenId::Select);
      goTo(TMgrStep::AfterGameType);
      break;
    case TMgrStep::AfterGameType:
      if (!ConsumeBack(TMgrStep::ShowTitle))
        goTo(d.GameType == 1 ? TMgrStep::ShowContinue : TMgrStep::ShowLevel);
      break;
    case TMgrStep::ShowLevel:
      CreateScreenChild(TScreenId::LvSelect);
      goTo(TMgrStep::PlayEndless);
      break;
    case TMgrStep::PlayEndless:
      if (!ConsumeBack(TMgrStep::ShowGameType)) {
        CreateScreenChild(TScreenId::GameMain);
        goTo(TMgrStep::ShowNameEntry);
      }
      break;
    case TMgrStep::ShowNameEntry:
      CreateScreenChild(TScreenId::RegRank);
      goTo(TMgrStep::ShowTitle);
      break;
    case TMgrStep::ShowContinue:
      CreateScreenChild(TScreenId::ContSelect);
      goTo(TMgrStep::PlayStage);
      break;
    case TMgrStep::PlayStage:
      if (!ConsumeBack(TMgrStep::ShowGameType)) {
        CreateScreenChild(TScreenId::GameMain);
        d.RetryRequest = false;
        goTo(TMgrStep::AfterStage);
      }
      break;
    case TMgrStep::AfterStage:
      if (d.StageFailed) {
        goTo(TMgrStep::ShowRetry);
      } else if (d.StageSet) {
        // A stage set earns no pieces of the built-in stages' picture and has no ending of
        // its own: after its last stage one reward screen tells it was cleared, then the
        // title follows.
        if (d.Stage < d.StageCount) {
          goTo(TMgrStep::PlayStage);
        } else {
          CreateScreenChild(TScreenId::Reward);
          goTo(TMgrStep::ShowTitle);
        }
      } else {
        if (d.Stage % 2 == 0) CreateScreenChild(TScreenId::Reward);
        goTo(d.Stage < kStageCount ? TMgrStep::PlayStage : TMgrStep::ShowEnding);
      }
      break;
    case TMgrStep::ShowRetry:
      CreateScreenChild(TScreenId::PuzSave);
      goTo(TMgrStep::AfterRetry);
      break;
    case TMgrStep::AfterRetry:
      goTo(d.RetryRequest ? TMgrStep::PlayStage : TMgrStep::ShowTitle);
      break;
    case TMgrStep::ShowEnding:
      CreateScreenChild(TScreenId::Ending);
      goTo(TMgrStep::ShowTitle);
      break;
    default:
      goTo(TMgrStep::ShowTitle);
      break;
  }
}

bool TGameMgrMode::ConsumeBack(TMgrStep step) {
  if (GameData->BackRequest) {
    GameData->BackRequest = false;
    Phase = static_cast<int32_t>(step);
    return true;
  }
  return false;
}

void TGameMgrMode::LoadCatalogue() {
  for (const SpriteEntry& s : kSprites)
    Kernel->Draw->CreateSprite(s.Key, s.Resource, s.CellWidth, s.CellHeight);
  RegisterImage("背景", GameData->BackType);
  RegisterCells("ブロック", GameData->BlockType);
  for (const SoundEntry& s : kSounds) Kernel->Sound->CreateBuffer(s.Key, s.Resource);
}

void TGameMgrMode::LoadSaveData() {
  const std::string path = savefile::Path();
  // What a save cut short by a crash left behind is cleared once it is old.
  savefile::RemoveStaleTemporaries(path);
  int error = 0;
  if (savefile::LoadFrom(path, *GameData, &error) == savefile::LoadStatus::Unreadable)
    savefile::ReportUnreadable(path, error);
}

void TGameMgrMode::WriteSaveData() {
  // Game data set up for a replay or a workshop try is not the player's: nothing is saved.
  if (GameData->NoSave) return;
  // A failed save leaves the game running on the values in memory; the player is told.
  const std::string path = savefile::Path();
  if (TStageSetPlay* set = GameData->StageSet) {
    // A stage set's progress goes to its own file; the save file keeps the built-in
    // stages' progress as it was.
    set->KeepProgress(*GameData);
    ::GameData saved = *GameData;
    set->PutBuiltInProgress(saved);
    if (int error = savefile::WriteTo(path, saved)) savefile::ReportWriteFailure(path, error);
    return;
  }
  if (int error = savefile::WriteTo(path, *GameData)) savefile::ReportWriteFailure(path, error);
}

void TGameMgrMode::DrawText(int32_t x, int32_t y, const std::string& text, int32_t font,
                            bool wave) {
  const char* key = kFontKeys[ColourIndex(font, Elapsed)];
  double offset = 0.0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (wave) {
      int32_t t = (Elapsed + 40 * static_cast<int32_t>(i)) % 800;
      offset = 8.0 * std::sin(2.0 * M_PI * t * 0.00125);
    }
    int32_t glyph = GlyphIndex(text[i]);
    if (glyph >= 0 && glyph < 28)
      Kernel->Draw->Draw(x, y + static_cast<int32_t>(offset), key, glyph);
    x += GlyphAdvance(text[i]);
  }
}

int32_t TGameMgrMode::TextWidth(const std::string& text) {
  int32_t w = 0;
  for (char c : text) w += GlyphAdvance(c);
  return w;
}

void TGameMgrMode::DrawNumber(int32_t x, int32_t y, int32_t number, int32_t font) {
  const char* key = kNumKeys[ColourIndex(font, Elapsed)];
  char digits[16];
  int n = std::snprintf(digits, sizeof digits, "%d", number < 0 ? 0 : number);
  for (int i = n - 1; i >= 0; --i) {
    Kernel->Draw->Draw(x, y, key, digits[i] - '0');
    x -= 14;
  }
}

void TGameMgrMode::DrawNumberLeft(int32_t x, int32_t y, int32_t number, int32_t font) {
  const char* key = kNumKeys[ColourIndex(font, Elapsed)];
  char digits[16];
  int n = std::snprintf(digits, sizeof digits, "%d", number < 0 ? 0 : number);
  for (int i = 0; i < n; ++i) {
    Kernel->Draw->Draw(x, y, key, digits[i] - '0');
    x += 14;
  }
}

void TGameMgrMode::DrawCursor(int32_t x, int32_t y) {
  int32_t f = AnimFrame(200, 4);
  Kernel->Draw->Draw(x + kCursorBob[f] - 20, y - 8, "矢印", f);
}

void TGameMgrMode::DrawPushEnter(int32_t x, int32_t y) {
  if (Blink(320)) DrawText(x, y, "PUSH ENTER", 1, true);
}

void TGameMgrMode::DrawMiniLogo() {
  Kernel->Draw->Draw(360, 326, "ミニロゴ", 0);
}

void TGameMgrMode::DrawBack() {
  Kernel->Draw->Draw(0, 0, "タイトル背景", 0);
}

void TGameMgrMode::PlaySelect() {
  Kernel->Sound->Play("選択");
}

void TGameMgrMode::PlayDecide() {
  Kernel->Sound->Play("決定");
}

void TGameMgrMode::PlayCancel() {
  Kernel->Sound->Play("キャンセル");
}

void TGameMgrMode::StartFadedOut() {
  Kernel->Blackout = false;
  Kernel->FadeLevel = 255;
  TGameMode::Init();
}

void TGameMgrMode::PlayBgm(int32_t bgm) {
  if (bgm == -1) bgm = GameData->BgmType;
  TKorMidi* midi = Kernel->Midi;
  switch (bgm) {
    case 0:
      if (!midi->IsPlay("BGM1")) midi->Play("BGM1", true);
      break;
    case 1:
      if (!midi->IsPlay("BGM2")) midi->Play("BGM2", true);
      break;
    case 2:
      midi->Stop();
      break;
    default:
      break;
  }
}

void TGameMgrMode::RegisterImage(const std::string& key, int32_t index) {
  // An index outside the list (a damaged save file) falls back to the first picture.
  if (index < 0 || index >= 2) index = 0;
  Kernel->Draw->CreateSprite(key, kBackNames[index], 0, 0);
}

void TGameMgrMode::RegisterCells(const std::string& key, int32_t index) {
  if (index < 0 || index >= 5) index = 0;
  Kernel->Draw->CreateSprite(key, kBlockNames[index], 32, 32);
}

void TGameMgrMode::ApplyKeyConfig() {
  InputState keys;
  if (!Kernel->Input->GetKeys(keys)) return;
  // A value outside 0..1 (a damaged save file) counts as 0, which is also what the options
  // screen shows for it: the keys never stay at an assignment no screen names.
  if (GameData->ControlType == 1) {
    keys.A = keycode::Space;
    keys.B = keycode::V;
    keys.Enter = keycode::Enter;
  } else {
    keys.A = keycode::Z;
    keys.B = keycode::X;
    keys.Enter = keycode::Enter;
  }
  Kernel->Input->SetKeys(keys);
}

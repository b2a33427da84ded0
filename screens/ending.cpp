#include "screens/ending.h"

#include <cstdio>

#include "engine/kernel.h"
#include "media/kordraw.h"
#include "media/kormidi.h"
#include "screens/creditactor.h"

namespace {

constexpr const char* kPictureKey = "エンディング";
constexpr int32_t kLastSlot = TEndingMode::kCreditSlots - 1;

}  // namespace

// The roll: headings and names with long gaps between the groups, so that each group has
// the screen mostly to itself; the closing line comes last and stops in the middle.
const char* const TEndingMode::CreditLines[kCreditSlots] = {
    nullptr, nullptr, nullptr, nullptr,
    "Ｖｅｘａ　スタッフ",  // 4
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    "ＰＬＡＮＮＥＲ",                  // 13
    "ＫＡＮＡＥ　ＴＯＫＩＷＡＧＩ",    // 14
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    "ＰＲＯＧＲＡＭＭＥＲ",            // 23
    "ＲＹＯＵＳＵＫＥ　ＭＩＺＵＳＨＩＲＯ",  // 24
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    "ＣＨＡＲＡＣＴＥＲ　ＤＥＳＩＧＮＥＲ",  // 33
    "ＮＡＮＡＯ　ＹＵＲＩＧＡＳＡＫＩ",      // 34
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    "ＧＲＡＰＨＩＣ　ＤＥＳＩＧＮＥＲ",      // 43
    "ＭＩＯ　ＨＯＳＨＩＺＵＫＩ",            // 44
    "ＫＯＵＴＡ　ＡＭＡＧＩＲＩ",            // 45
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    "ＭＵＳＩＣ　ＣＯＭＰＯＳＥＲ",          // 54
    "ＳＯＵＮＤ　ＣＯＭＰＯＳＥＲ",          // 55
    "ＳＨＩＯＮ　ＫＡＺＥＭＡＫＩ",          // 56
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    "ＰＲＯＤＵＣＥＤ　ＢＹ",                // 65
    "ＪＵＮＰＥＩ　ＳＵＺＵＫＡＤＥ",        // 66
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    "おしまい",  // 83
};

TEndingMode::TEndingMode(TGameMode* parent, TKernel* kernel, void* data)
    : TGameMgrMode(parent, kernel, data), Credits(new TCreditActor(this, 0)) {}

TEndingMode::~TEndingMode() { delete Credits; }

void TEndingMode::Init() {
  Kernel->Draw->CreateSprite(kPictureKey, "REWARD", 0, 0);
  EndRequest = false;
  BuildCredits();
  StartFadedOut();
}

void TEndingMode::BuildCredits() {
  if (!Credits) return;
  for (int32_t i = 0; i < kCreditSlots; ++i) {
    if (!CreditLines[i] || !CreditLines[i][0]) continue;
    const int32_t kind = i == kLastSlot ? TCreditActor::LastLine : 0;
    auto* line = static_cast<TCreditActor*>(
        Credits->Spawn(kCreditColumnX, static_cast<float>(384 + kSlotHeight * i), kind));
    if (line) line->Text = CreditLines[i];
  }
}

void TEndingMode::Control() {
  // Only Enter ends the ending; the decide button does not.
  if ((Kernel->Pushed & btEnter) && !EndRequest) EndRequest = true;
}

void TEndingMode::Move(int32_t dt) {
  Control();
  switch (Phase) {
    case kWhiteIn:
      if (Kernel->WhiteIn(dt / 4)) {
        Kernel->Midi->Play("ENDING", true);
        Phase = kRoll;
      }
      break;
    case kRoll:
      if (Credits) Credits->Update(dt);
      if (EndRequest) {
        Phase = kFadeOut;
        PlayDecide();
      }
      break;
    default:  // kFadeOut
      // The song goes on: the title's own song replaces it.
      Kernel->FadeWhite = false;
      if (Kernel->FadeOut(dt)) {
        Kernel->FadeLevel = 255;
        Finished = true;
      }
      break;
  }
}

void TEndingMode::Draw() {
  Kernel->Draw->Clear();
  Kernel->Draw->Draw(1, 2, kPictureKey, 0);
  if (Credits) Credits->Paint();
}

void TEndingMode::Leave() {
  Kernel->Draw->DeleteSprite(kPictureKey);
  delete Credits;
  Credits = nullptr;
}

std::string TEndingMode::DumpState() const {
  char buf[96];
  std::snprintf(buf, sizeof buf, " EndRequest=%d CreditLines=%d", EndRequest ? 1 : 0,
                Credits ? Credits->Count() : 0);
  return buf;
}

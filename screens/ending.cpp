#include "screens/ending.h"

#include <array>
#include <cstdio>
#include <utility>

#include "engine/kernel.h"
#include "media/kordraw.h"
#include "media/kormidi.h"
#include "screens/creditactor.h"

namespace {

constexpr const char* kPictureKey = "エンディング";
constexpr int32_t kLastSlot = TEndingMode::kCreditSlots - 1;

// The roll: headings and names with long gaps between the groups, so that each group has
// the screen mostly to itself; the closing line comes last and stops in the middle. Each
// line stands in its slot; the slots between stay empty.
constexpr std::pair<int32_t, const char*> kCredits[] = {
    {4, "Ｖｅｘａ　スタッフ"},
    {13, "ＰＬＡＮＮＥＲ"},
    {14, "ＫＡＮＡＥ　ＴＯＫＩＷＡＧＩ"},
    {23, "ＰＲＯＧＲＡＭＭＥＲ"},
    {24, "ＲＹＯＵＳＵＫＥ　ＭＩＺＵＳＨＩＲＯ"},
    {33, "ＣＨＡＲＡＣＴＥＲ　ＤＥＳＩＧＮＥＲ"},
    {34, "ＮＡＮＡＯ　ＹＵＲＩＧＡＳＡＫＩ"},
    {43, "ＧＲＡＰＨＩＣ　ＤＥＳＩＧＮＥＲ"},
    {44, "ＭＩＯ　ＨＯＳＨＩＺＵＫＩ"},
    {45, "ＫＯＵＴＡ　ＡＭＡＧＩＲＩ"},
    {54, "ＭＵＳＩＣ　ＣＯＭＰＯＳＥＲ"},
    {55, "ＳＯＵＮＤ　ＣＯＭＰＯＳＥＲ"},
    {56, "ＳＨＩＯＮ　ＫＡＺＥＭＡＫＩ"},
    {65, "ＰＲＯＤＵＣＥＤ　ＢＹ"},
    {66, "ＪＵＮＰＥＩ　ＳＵＺＵＫＡＤＥ"},
    {83, "おしまい"},
};

constexpr std::array<const char*, TEndingMode::kCreditSlots> Slotted() {
  std::array<const char*, TEndingMode::kCreditSlots> lines{};
  for (const auto& [slot, text] : kCredits) lines[slot] = text;
  return lines;
}

}  // namespace

const std::array<const char*, TEndingMode::kCreditSlots> TEndingMode::CreditLines = Slotted();

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

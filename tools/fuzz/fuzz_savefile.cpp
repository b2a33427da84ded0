// libFuzzer target: any bytes as the save file, read by the root mode's loader from its
// path; what loaded must stay within bounds wherever the screens use it (ranking, name
// entry, puzzle start), and writing it back must put exactly the encoded image at the
// start of the file while keeping whatever the file held after it. Built by
// scripts/fuzz.sh (CMake option VEXA_FUZZ, clang).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/kernel.h"
#include "game/gamedata.h"
#include "game/gamemgr.h"
#include "game/savefile.h"
#include "media/kordraw.h"
#include "media/korinput.h"
#include "media/kormidi.h"
#include "media/korsound.h"
#include "platform/resources.h"
#include "platform/window.h"
#include "screens/contselect.h"
#include "screens/ranking.h"
#include "screens/regrank.h"
#include "tools/fuzz/fuzz_input_file.h"

namespace {

struct Game {
  std::unique_ptr<platform::Window> Wnd = platform::Window::CreateHeadless(513, 384);
  TKorDraw Draw;
  TKorInput Input;
  TKorSound Sound;  // never started: silent
  TKorMidi Midi;    // never started: silent
  std::unique_ptr<TKernel> Kernel;
  GameData Data;
  std::unique_ptr<TGameMgrMode> Root;
  Game() {
    Draw.Init(Wnd.get(), 512, 384, false, 16);
    Input.Init(Wnd.get());
    Kernel = std::make_unique<TKernel>(&Draw, &Sound, &Input, &Midi);
    Root = std::make_unique<TGameMgrMode>(nullptr, Kernel.get(), &Data);
  }
  template <class T>
  void RunScreen(int ticks) {
    std::unique_ptr<TGameMode> screen = std::make_unique<T>(Root.get(), Kernel.get(), &Data);
    for (int i = 0; i < ticks && !screen->IsFinished(); ++i) {
      Kernel->Tick(20);
      screen->Update(20);
    }
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Game* game = new Game;
  // Half the inputs get the right header, so the fields behind it are reached.
  std::vector<uint8_t> bytes(data, data + size);
  if (size > 0 && (data[0] & 1) && bytes.size() >= 13) std::memcpy(bytes.data(), savefile::kHeader, 13);
  const std::string path = fuzz::WriteInput(bytes.data(), bytes.size());
  if (path.empty()) return 0;
  savefile::SetPathOverride(path);

  GameData& d = game->Data;
  d = GameData{};
  SetDefaultRanking(d);
  uint8_t before[savefile::kSize];
  savefile::Encode(d, before);
  const bool loaded = savefile::Load(path, d);
  uint8_t image[savefile::kSize];
  savefile::Encode(d, image);
  // A file that is not taken changes nothing.
  if (!loaded && std::memcmp(before, image, savefile::kSize) != 0) __builtin_trap();
  if (!loaded) return 0;

  for (const TRankEntry& r : d.Ranking)
    if (RankName(r).size() > sizeof r.Name) __builtin_trap();
  if (ClampStage(d.ContinueStage) < 0 || ClampStage(d.MaxStage) >= kStageCount) __builtin_trap();

  // Writing keeps a longer file's tail and puts the image before it; reading it back gives
  // the same fields.
  game->Root->WriteSaveData();
  std::vector<uint8_t> written;
  if (!platform::ReadWholeFile(path, written)) __builtin_trap();
  const size_t expect = bytes.size() > savefile::kSize ? bytes.size() : savefile::kSize;
  if (written.size() != expect || std::memcmp(written.data(), image, savefile::kSize) != 0)
    __builtin_trap();
  if (bytes.size() > savefile::kSize &&
      std::memcmp(written.data() + savefile::kSize, bytes.data() + savefile::kSize,
                  bytes.size() - savefile::kSize) != 0)
    __builtin_trap();
  GameData again;
  if (!savefile::Load(path, again)) __builtin_trap();
  uint8_t image2[savefile::kSize];
  savefile::Encode(again, image2);
  if (std::memcmp(image, image2, savefile::kSize) != 0) __builtin_trap();

  // The screens that show what was saved, a few frames each.
  game->Root->ApplyKeyConfig();
  game->RunScreen<TRankingMode>(3);
  d.LastScore = static_cast<int32_t>(data[size - 1]) * 1000;
  game->RunScreen<TRegRankMode>(3);
  game->RunScreen<TContSelectMode>(3);
  return 0;
}

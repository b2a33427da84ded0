#include "tests/support/headless_game.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <sstream>

#include "game/savefile.h"
#include "platform/audio_device.h"

namespace vexa_test {

// ---------------------------------------------------------------- files and folders

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::string ReadText(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : Name(name) {
  if (const char* old = std::getenv(name)) Old = old;
  ::setenv(name, value, 1);
}

ScopedEnv::~ScopedEnv() {
  if (Old)
    ::setenv(Name, Old->c_str(), 1);
  else
    ::unsetenv(Name);
}

PrivateFolder::PrivateFolder(bool enter) : OldSavePath(savefile::Path()) {
  char tmpl[] = "/tmp/vexa-test-XXXXXX";
  if (::mkdtemp(tmpl)) Path = tmpl;
  SavePath = Path.empty() ? "/nonexistent/vexa.dat" : At("vexa.dat");
  savefile::SetPathOverride(SavePath);
  if (Path.empty()) return;
  DataHome.emplace("XDG_DATA_HOME", At("data").c_str());
  ConfigHome.emplace("XDG_CONFIG_HOME", At("config").c_str());
  if (enter) {
    char buf[4096];
    if (::getcwd(buf, sizeof buf)) OldDir = buf;
    if (::chdir(Path.c_str()) != 0) OldDir.clear();
  }
}

PrivateFolder::~PrivateFolder() {
  if (!OldDir.empty() && ::chdir(OldDir.c_str()) != 0) ADD_FAILURE() << "cannot go back to " << OldDir;
  savefile::SetPathOverride(OldSavePath);
  if (Path.empty()) return;
  // A test may have taken the rights away from a folder inside.
  std::system(("chmod -R u+rwx '" + Path + "' 2>/dev/null").c_str());
  std::error_code ec;
  std::filesystem::remove_all(Path, ec);
}

std::string PrivateFolder::Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
  const std::string p = At(name);
  WriteBytes(p, bytes);
  return p;
}

void PrivateFolder::WriteSave(int32_t continueStage, int32_t maxStage) const {
  std::vector<uint8_t> b(308, 0);
  std::memcpy(b.data(), "Vexa Ver1.02", 12);
  auto put = [&b](size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
  };
  put(296, continueStage);
  put(304, maxStage);
  Write("vexa.dat", b);
}

// ---------------------------------------------------------------- a screen under test

void HeadlessGame::SetUp() {
  ASSERT_FALSE(Dir.Path.empty());
  Wnd = platform::Window::CreateHeadless(513, 384);
  ASSERT_TRUE(Input.Init(Wnd.get()));
  if (WithDraw()) {
    ASSERT_TRUE(DrawC.Init(Wnd.get(), 512, 384, false, 16));
  }
  Kernel = std::make_unique<TKernel>(&DrawC, &Sound, &Input, MidiComponent());
  SetDefaultRanking(Data);
  Root = std::make_unique<TGameMgrMode>(nullptr, Kernel.get(), &Data);
  Root->ApplyKeyConfig();
}

void HeadlessGame::TearDown() {
  Screen.reset();
  Root.reset();
}

void HeadlessGame::Tick() {
  Kernel->Tick(20);
  if (Screen)
    Screen->Update(20);
  else
    Root->Update(20);
}

void HeadlessGame::Ticks(int n) {
  for (int i = 0; i < n; ++i) Tick();
}

void HeadlessGame::Tap(uint8_t key) {
  Down(key);
  Tick();
  Up(key);
  Tick();
}

int HeadlessGame::RunWhile(const std::function<bool()>& going, int limit) {
  int n = 0;
  for (; n < limit && going(); ++n) Tick();
  return n;
}

int HeadlessGame::RunToPhase(int32_t phase, int limit) {
  return RunWhile([&] { return Screen->Phase != phase && !Screen->IsFinished(); }, limit);
}

int HeadlessGame::RunToEnd(int limit) {
  return RunWhile([&] { return !Screen->IsFinished(); }, limit);
}

int HeadlessGame::RunUntilGone(int limit) {
  return RunWhile([&] { return Root->Child != nullptr; }, limit);
}

bool HeadlessGame::SaveFileExists() const { return std::ifstream(SavePath).good(); }

void HeadlessGame::WriteSolidBitmap(const std::string& name, int w, int h, Rgb c) {
  Dir.Write(name, kordraw_test::SolidBmp24(w, h, c));
}

std::string HeadlessGame::SpriteRes(const std::string& key) {
  TSpriteSurf* s = DrawC.GetSpriteSurf(key);
  return s ? s->ResName : std::string("(none)");
}

// ---------------------------------------------------------------- the whole game

RunningGame::RunningGame(bool music, bool sdlWindow) {
  std::string error;
  Wnd = sdlWindow ? platform::Window::Create("Vexa", 513, 384, error)
                  : platform::Window::CreateHeadless(513, 384);
  if (!Wnd) return;
  TMainForm::Settings s;
  s.FrameInterval = 20;
  s.Music = music;
  Form = std::make_unique<TMainForm>(Wnd.get(), s);
}

void RunningGame::Tick() {
  Wnd->PumpEvents();
  Form->HITimerTimer();
  ++Ticks;
  if (platform::AudioDevice::IsManualMode()) {
    Form->KorMidi.RunPass();
    Form->KorMidi.RunPass();
    int16_t out[2 * 960];  // 20 ms at the highest rate a device runs at
    const int frames = std::min(960, platform::AudioDevice::OpenRate() / 50);
    platform::AudioDevice::Render(out, frames);
    for (int16_t v : std::span(out, static_cast<size_t>(std::max(frames, 0)) * 2))
      Peak = std::max<int32_t>(Peak, v < 0 ? -int32_t{v} : v);
  }
}

void RunningGame::Wait(int n) {
  for (int i = 0; i < n; ++i) Tick();
}

void RunningGame::Tap(uint8_t key, int waitAfter) {
  Wnd->Input().SetKey(key, true);
  Tick();
  Wnd->Input().SetKey(key, false);
  Wait(waitAfter);
}

bool RunningGame::WaitFor(const std::string& mode, int limit) {
  for (int i = 0; i < limit; ++i) {
    if (Mode() == mode) return true;
    Tick();
  }
  return Mode() == mode;
}

void RunningGame::ToTitle() {
  Wait(10);
  Tap(keycode::Enter);
  BackAtTitle();
}

void RunningGame::BackAtTitle() {
  ASSERT_TRUE(WaitFor("TTitleMode"));
  Wait(60);
}

void RunningGame::OpenFromTitle(int row, const std::string& mode) {
  for (int i = 0; i < row; ++i) Tap(keycode::Down);
  Tap(keycode::Enter);
  ASSERT_TRUE(WaitFor(mode));
  Wait(30);
}

void RunningGame::StartEndlessGame() {
  Tap(keycode::Enter, 20);
  Tap(keycode::Enter, 20);
  Tap(keycode::Down);
  Tap(keycode::Enter);
  ASSERT_TRUE(WaitFor("TGameMainMode"));
  Wait(200);
}

void RunningGame::RetireToNameEntry() {
  Tap(keycode::Enter, 2);
  RetireFromPause();
}

void RunningGame::RetireFromPause() {
  Tap(keycode::Down, 2);
  Tap(keycode::Enter, 2);
  Tap(keycode::Up, 2);
  Tap(keycode::Enter, 200);
  Tap(keycode::Enter);
  ASSERT_TRUE(WaitFor("TRegRankMode"));
  Wait(100);
}

// ---------------------------------------------------------------- the replay runner

ReplayRun RunReplay(const std::string& folder, const std::string& args, bool stdoutOnly) {
  const std::string cmd = "cd '" + folder + "' && '" + VEXA_REPLAY_EXE + "' " + args +
                          (stdoutOnly ? " 2>/dev/null" : " 2>&1");
  ReplayRun r;
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[8192];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.Out.append(buf, n);
  const int st = ::pclose(p);
  r.Status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  std::istringstream lines(r.Out);
  std::string line;
  while (std::getline(lines, line))
    if (line.rfind("tick=", 0) == 0) r.Dumps.push_back(line);
  return r;
}

ReplayRun ReplayFolder::Play(const std::string& script, int seed) const {
  const std::string src = std::string(VEXA_SOURCE_DIR) + "/tests/e2e/" + script;
  return RunReplay(Path, "--seed " + std::to_string(seed) + " '" + src + "'");
}

namespace {

// Passes when the run ended well with the number of dump lines given.
::testing::AssertionResult EndedWell(const std::string& what, const ReplayRun& run,
                                     size_t dumps) {
  if (run.Status != 0)
    return ::testing::AssertionFailure() << what << " ended with " << run.Status << ":\n" << run.Out;
  if (run.Dumps.size() != dumps)
    return ::testing::AssertionFailure() << what << " dumped " << run.Dumps.size()
                                         << " lines, not " << dumps << ":\n" << run.Out;
  return ::testing::AssertionSuccess();
}

}  // namespace

const char* const kLogoToPuzzleStart =
    "wait 10\ntap ENTER\nwait 100\ntap ENTER\nwait 20\ntap RIGHT\nwait 1\ntap ENTER\nwait 20\n";

::testing::AssertionResult ReplayFolder::Play(const std::string& script, int seed, size_t dumps,
                                              ReplayRun& run) const {
  if (Path.empty()) return ::testing::AssertionFailure() << "no folder for " << script;
  run = Play(script, seed);
  return EndedWell(script, run, dumps);
}

::testing::AssertionResult ReplayFolder::PlayText(const std::string& text,
                                                  const std::string& args, size_t dumps,
                                                  ReplayRun& run) const {
  run = PlayText(text, args);
  return EndedWell("the script", run, dumps);
}

ReplayRun ReplayFolder::PlayText(const std::string& text, const std::string& args) const {
  std::ofstream(At("script.txt"), std::ios::binary) << text;
  return RunReplay(Path, args + " script.txt");
}

std::string Value(const std::string& dump, const std::string& key) {
  const std::string k = " " + key + "=";
  const size_t at = dump.find(k);
  if (at == std::string::npos) return "";
  const size_t from = at + k.size();
  return dump.substr(from, dump.find(' ', from) - from);
}

::testing::AssertionResult Holds(const std::string& dump,
                                 std::initializer_list<std::pair<std::string, std::string>> values) {
  std::string wrong;
  for (const auto& [key, want] : values) {
    const std::string got = Value(dump, key);
    if (got != want) wrong += "\n  " + key + "=" + got + ", not " + want;
  }
  if (wrong.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "in " << dump.substr(0, 300) << wrong;
}

std::vector<std::string> Modes(const ReplayRun& run) {
  std::vector<std::string> m;
  for (const std::string& d : run.Dumps) m.push_back(Value(d, "mode"));
  return m;
}

int32_t I32At(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                              (static_cast<uint32_t>(b[at + 3]) << 24));
}

std::vector<uint8_t> ShotRegion(const std::vector<uint8_t>& bmp, int l, int t, int r, int b) {
  std::vector<uint8_t> out;
  if (bmp.size() < 54) return out;
  const uint32_t offset = I32At(bmp, 10);
  const int w = I32At(bmp, 18), h = I32At(bmp, 22);
  const size_t row = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
  if (w != 512 || h != 384 || bmp.size() < offset + row * h) return out;
  for (int y = t; y < b; ++y)
    for (int x = l; x < r; ++x)
      for (int c = 0; c < 3; ++c) out.push_back(bmp[offset + (h - 1 - y) * row + x * 3 + c]);
  return out;
}

}  // namespace vexa_test

// The puzzle workshop: editing the well, the stage set, the proof on its worker thread and
// the try through the game screen.
#include "screens/workshop.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "engine/kernel.h"
#include "game/replay_session.h"
#include "game/savefile.h"
#include "media/kordraw.h"
#include "media/korinput.h"
#include "media/kormidi.h"
#include "platform/keycodes.h"

namespace {

TWorkshopMode::TCells EmptyStage() {
  TWorkshopMode::TCells cells;
  cells.fill(static_cast<uint8_t>(kEmpty));
  return cells;
}

}  // namespace

TWorkshopMode::TWorkshopMode(TGameMode* parent, TKernel* kernel, void* data)
    : TGameMgrMode(parent, kernel, data) {
  Set.Name = "MY STAGES";
  Set.Stages.push_back(EmptyStage());
}

TWorkshopMode::~TWorkshopMode() {
  // A proof still running is told to stop and waited for: the solver answers a cancel
  // within a moment.
  CancelProof();
  for (auto& job : Cancelled)
    if (job->Worker.joinable()) job->Worker.join();
  if (Phase == kWsTrying) *GameData = Saved;
}

void TWorkshopMode::Init() {
  TGameMgrMode::Init();
  Kernel->Input->TakeMouseEvents();  // presses made before the workshop opened are not its
  Checks = CheckStage(Cells().data());
  StartFadedOut();
}

// ---------------------------------------------------------------------------------------
// The frame

void TWorkshopMode::Update(int32_t dt) {
  PollProof();
  if (Phase == kWsTrying) {
    // The game screen closes itself after its results; ESC ends the try at once.
    if (!Child || Kernel->PushedKey == keycode::Escape) EndTry();
  }
  TGameMgrMode::Update(dt);
}

void TWorkshopMode::Move(int32_t dt) {
  switch (Phase) {
    case kWsFadeIn:
      if (Kernel->FadeIn(2 * dt)) Phase = Job ? kWsProving : kWsEdit;
      break;
    case kWsEdit:
    case kWsProving:
    case kWsSolution:
      ReadMouse();
      if (NameEntry)
        ReadNameEntry();
      else
        ReadKeys();
      break;
    case kWsFadeOut:
      if (Kernel->FadeOut(2 * dt)) Phase = kWsClose;
      break;
    case kWsClose:
      Kernel->Blackout = true;
      Kernel->FadeLevel = 255;
      Finished = true;
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------------
// Input

void TWorkshopMode::ReadKeys() {
  const int32_t key = Kernel->PushedKey;
  const uint8_t* held = Kernel->KeyState;
  const bool shift = held[keycode::LShift] || held[keycode::RShift];
  const bool ctrl = held[keycode::LCtrl] || held[keycode::RCtrl];
  const uint16_t pushed = Kernel->Pushed;
  const uint16_t repeat = Kernel->Repeat;
  const char typed = Kernel->GetLetter();

  if (key == keycode::Escape) {
    if (Phase == kWsSolution) {
      ShowStep(0);
      Phase = kWsEdit;
      return;
    }
    if (Changed && !LeaveAsked) {
      LeaveAsked = true;
      Message = "Not saved: ESC again leaves.";
      PlayCancel();
      return;
    }
    CancelProof();
    PlayCancel();
    Phase = kWsFadeOut;
    return;
  }
  if (key > 0) LeaveAsked = false;

  if (Phase == kWsSolution && !shift && !ctrl) {
    // The solution's steps. B or ENTER goes back to editing; any other key does too and
    // is then taken as in editing.
    const size_t count = Report.Solution.size();
    if (repeat & (btLeft | btRight)) {
      const size_t to = (repeat & btRight) ? std::min(Step + 1, count) : (Step > 0 ? Step - 1 : 0);
      if (to != Step) PlaySelect();
      ShowStep(to);
      return;
    }
    if (key == keycode::Home) {
      ShowStep(0);
      PlaySelect();
      return;
    }
    if (repeat & (btUp | btDown)) return;
    if ((pushed & (btB | btEnter)) && !typed) {
      Phase = kWsEdit;
      PlayCancel();
      return;
    }
    if (key <= 0 && !(pushed & btA)) return;
    Phase = kWsEdit;
  }

  // Shifts, with SHIFT (the cursor's column or row) or CTRL (the whole well).
  const int32_t dx = (repeat & btRight) ? 1 : (repeat & btLeft) ? -1 : 0;
  const int32_t dy = (repeat & btDown) ? 1 : (repeat & btUp) ? -1 : 0;
  if ((shift || ctrl) && (dx || dy)) {
    if (ctrl)
      ShiftWell(dx, dy);
    else if (dy)
      ShiftColumn(CursorCol, dy);
    else
      ShiftRow(CursorRow, dx);
    PlaySelect();
    return;
  }

  // The set.
  if (key == keycode::PageUp || key == keycode::PageDown) {
    const int32_t by = key == keycode::PageUp ? -1 : 1;
    if (shift)
      MoveStage(by);
    else
      OpenStage(static_cast<int32_t>(Current) + by);
    return;
  }
  switch (key) {
    case keycode::F2:
      NameEntry = true;
      NameBefore = Set.Name;
      Set.Name.clear();
      Message = "Type the set's name; ENTER ends.";
      PlayDecide();
      return;
    case keycode::F3:
      SaveSet();
      return;
    case keycode::F4:
      ClearWell();
      PlayCancel();
      return;
    case keycode::F5:
      StartTry();
      return;
    case keycode::F6:
    case keycode::F7:
      AddStage(key == keycode::F7);
      return;
    case keycode::F8:
      DeleteStage();
      return;
    case keycode::F9:
      LoadNextSet();
      return;
    default:
      break;
  }

  // Letters first: a letter key that is also a game button (Z, X, V) places its letter.
  if (typed) {
    Letter = static_cast<uint8_t>(typed - 'A');
    Place(CursorCol, CursorRow, Letter);
    return;
  }
  if (key == keycode::Delete || key == keycode::Backspace) {
    Place(CursorCol, CursorRow, static_cast<uint8_t>(kEmpty));
    return;
  }
  if ((Kernel->Buttons & btA) && (repeat & (btUp | btDown))) {
    // A held: UP and DOWN step the letter in the cell (for a pad).
    StepLetter((repeat & btUp) ? -1 : 1);
    Place(CursorCol, CursorRow, Letter);
    return;
  }
  if (dx || dy) {
    CursorCol = std::clamp(CursorCol + dx, 0, kFieldCols - 1);
    CursorRow = std::clamp(CursorRow + dy, 0, kWellRows - 1);
  }
  if (pushed & btA) Place(CursorCol, CursorRow, Letter);
  if (pushed & btB) Place(CursorCol, CursorRow, static_cast<uint8_t>(kEmpty));
  if (pushed & btEnter) {
    if (Job)
      CancelProof();
    else if (HaveReport && Report.Result == TProof::Solvable)
      Phase = kWsSolution;
    else
      StartProof();
    PlayDecide();
  }
}

void TWorkshopMode::ReadNameEntry() {
  const int32_t key = Kernel->PushedKey;
  const char typed = Kernel->GetLetter();
  if (typed && Set.Name.size() < 24) {
    Set.Name += typed;
    Changed = true;
  } else if (key == keycode::Space && Set.Name.size() < 24 && !Set.Name.empty()) {
    Set.Name += ' ';
    Changed = true;
  } else if (key == keycode::Backspace && !Set.Name.empty()) {
    Set.Name.pop_back();
    Changed = true;
  } else if (key == keycode::Enter || key == keycode::Escape) {
    while (!Set.Name.empty() && Set.Name.back() == ' ') Set.Name.pop_back();
    if (Set.Name.empty()) Set.Name = NameBefore;
    NameEntry = false;
    Message.clear();
    PlayDecide();
  }
}

void TWorkshopMode::ReadMouse() {
  for (const platform::MouseEvent& m : Kernel->Input->TakeMouseEvents()) {
    if (m.Wheel != 0) {
      StepLetter(-m.Wheel);  // up: the letter before, down: the one after
      PlaySelect();
      continue;
    }
    const int32_t col = (m.X - kWellX) / kCellSize, row = (m.Y - kWellY) / kCellSize;
    if (m.X >= kWellX && m.Y >= kWellY && col < kFieldCols && row < kWellRows) {
      if (Phase == kWsSolution) Phase = kWsEdit;
      CursorCol = col;
      CursorRow = row;
      Place(col, row, m.Button == 1 ? Letter : static_cast<uint8_t>(kEmpty));
      continue;
    }
    // A stage number in the list.
    const int32_t lc = (m.X - kListX + 8) / kListStepX, lr = (m.Y - kListY + 2) / kListStepY;
    if (m.Button == 1 && m.X >= kListX - 8 && m.Y >= kListY - 2 && lc < 5 && lr < 10)
      OpenStage(lr * 5 + lc);
  }
}

// ---------------------------------------------------------------------------------------
// Editing

void TWorkshopMode::Edited() {
  CancelProof();
  HaveReport = false;
  Step = 0;
  if (Phase == kWsSolution || Phase == kWsProving) Phase = kWsEdit;
  Changed = true;
  Checks = CheckStage(Cells().data());
}

void TWorkshopMode::Place(int32_t col, int32_t row, uint8_t letter) {
  if (col < 0 || col >= kFieldCols || row < 0 || row >= kWellRows) return;
  uint8_t& cell = Cells()[static_cast<size_t>(kFieldCols * row + col)];
  if (cell == letter) return;
  cell = letter;
  Edited();
}

void TWorkshopMode::ShiftColumn(int32_t col, int32_t rows) {
  ShiftCells(col, 1, 0, kWellRows, 0, rows);
}

void TWorkshopMode::ShiftRow(int32_t row, int32_t cols) {
  ShiftCells(0, kFieldCols, row, 1, cols, 0);
}

void TWorkshopMode::ShiftWell(int32_t cols, int32_t rows) {
  ShiftCells(0, kFieldCols, 0, kWellRows, cols, rows);
}

void TWorkshopMode::ShiftCells(int32_t col0, int32_t width, int32_t row0, int32_t height,
                               int32_t cols, int32_t rows) {
  TCells& c = Cells();
  const TCells old = c;
  for (int32_t r = 0; r < height; ++r)
    for (int32_t k = 0; k < width; ++k) {
      const int32_t toRow = row0 + (r + rows % height + height) % height;
      const int32_t toCol = col0 + (k + cols % width + width) % width;
      c[static_cast<size_t>(kFieldCols * toRow + toCol)] =
          old[static_cast<size_t>(kFieldCols * (row0 + r) + col0 + k)];
    }
  Edited();
}

void TWorkshopMode::ClearWell() {
  Cells() = EmptyStage();
  Edited();
}

void TWorkshopMode::StepLetter(int32_t by) {
  Letter = static_cast<uint8_t>(((Letter + by) % 26 + 26) % 26);
}

// ---------------------------------------------------------------------------------------
// The set

void TWorkshopMode::OpenStage(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(Set.Stages.size()) ||
      static_cast<size_t>(index) == Current)
    return;
  CancelProof();
  HaveReport = false;
  Step = 0;
  if (Phase == kWsSolution || Phase == kWsProving) Phase = kWsEdit;
  Current = static_cast<size_t>(index);
  Checks = CheckStage(Cells().data());
  PlaySelect();
}

void TWorkshopMode::AddStage(bool copy) {
  if (Set.Stages.size() >= TStageSet::kMaxStages) {
    Message = "A set holds 50 stages at most.";
    PlayCancel();
    return;
  }
  const TCells stage = copy ? Cells() : EmptyStage();
  Set.Stages.insert(Set.Stages.begin() + static_cast<std::ptrdiff_t>(Current) + 1, stage);
  Changed = true;
  OpenStage(static_cast<int32_t>(Current) + 1);
  Message = copy ? "The stage was copied." : "A new stage was added.";
}

void TWorkshopMode::DeleteStage() {
  if (Set.Stages.size() <= 1) {
    ClearWell();
  } else {
    Set.Stages.erase(Set.Stages.begin() + static_cast<std::ptrdiff_t>(Current));
    if (Current >= Set.Stages.size()) Current = Set.Stages.size() - 1;
    Edited();
  }
  Message = "The stage was deleted.";
  PlayCancel();
}

void TWorkshopMode::MoveStage(int32_t by) {
  const int32_t to = static_cast<int32_t>(Current) + by;
  if (to < 0 || to >= static_cast<int32_t>(Set.Stages.size())) return;
  std::swap(Set.Stages[Current], Set.Stages[static_cast<size_t>(to)]);
  Current = static_cast<size_t>(to);
  Changed = true;
  PlaySelect();
}

std::string TWorkshopMode::SetPath() const {
  // The file's name is the set's name in small letters, words joined by '-'.
  std::string name;
  for (char c : Set.Name) {
    if (c >= 'A' && c <= 'Z') name += static_cast<char>(c - 'A' + 'a');
    else if (c >= 'a' && c <= 'z') name += c;
    else if (!name.empty() && name.back() != '-') name += '-';
  }
  while (!name.empty() && name.back() == '-') name.pop_back();
  if (name.empty()) name = "stages";
  return StageSetFolder(savefile::Path()) + "/" + name + ".vexa-stages";
}

bool TWorkshopMode::SaveSet() {
  const std::string folder = StageSetFolder(savefile::Path());
  for (size_t i = 1; i <= folder.size(); ++i)
    if (i == folder.size() || folder[i] == '/') ::mkdir(folder.substr(0, i).c_str(), 0755);
  const std::string path = SetPath();
  if (!SaveStageSet(path, Set)) {
    Message = "The set could not be saved.";
    std::fprintf(stderr, "vexa: the stage set could not be saved to %s\n", path.c_str());
    PlayCancel();
    return false;
  }
  Changed = false;
  LeaveAsked = false;
  Message = "Saved: " + path.substr(path.rfind('/') + 1);
  PlayDecide();
  return true;
}

bool TWorkshopMode::LoadNextSet() {
  const std::vector<std::string> files = StageSetFiles(StageSetFolder(savefile::Path()));
  if (files.empty()) {
    Message = "The stages folder holds no set yet.";
    PlayCancel();
    return false;
  }
  const size_t next = static_cast<size_t>(LoadedFile + 1) % files.size();
  LoadedFile = static_cast<int32_t>(next);
  TStageSet loaded;
  std::string error;
  if (!LoadStageSet(files[next], loaded, error)) {
    Message = files[next].substr(files[next].rfind('/') + 1) + ": " + error;
    std::fprintf(stderr, "vexa: %s: %s\n", files[next].c_str(), error.c_str());
    PlayCancel();
    return false;
  }
  CancelProof();
  Set = std::move(loaded);
  if (Set.Stages.size() > TStageSet::kMaxStages) Set.Stages.resize(TStageSet::kMaxStages);
  if (Set.Stages.empty()) Set.Stages.push_back(EmptyStage());
  Current = 0;
  HaveReport = false;
  Step = 0;
  Changed = false;
  if (Phase == kWsSolution || Phase == kWsProving) Phase = kWsEdit;
  Checks = CheckStage(Cells().data());
  Message = "Loaded " + files[next].substr(files[next].rfind('/') + 1) + ".";
  PlayDecide();
  return true;
}

// ---------------------------------------------------------------------------------------
// Proof

void TWorkshopMode::StartProof() {
  CancelProof();
  HaveReport = false;
  Step = 0;
  auto job = std::make_unique<TProofJob>();
  job->Cells = Cells();
  // The stage is proved at the tick the game runs at here.
  const int32_t dt = GameData->Replays ? GameData->Replays->TickMs : 20;
  TProofJob* j = job.get();
  job->Worker = std::thread([j, dt] {
    TSolveLimits limits;
    limits.TimeBudgetMs = kBudgetMs;
    limits.Dt = dt;
    TPuzzleSolver solver;
    TSolveReport report = solver.Solve(j->Cells.data(), limits, &j->Cancel,
                                       [j](int64_t nodes, int32_t depth) {
                                         j->Nodes.store(nodes, std::memory_order_relaxed);
                                         j->Depth.store(depth, std::memory_order_relaxed);
                                       });
    j->Report = std::move(report);
    j->Done.store(true, std::memory_order_release);
  });
  Job = std::move(job);
  Phase = kWsProving;
  Message.clear();
}

void TWorkshopMode::CancelProof() {
  if (!Job) return;
  Job->Cancel.store(true);
  Cancelled.push_back(std::move(Job));
  if (Phase == kWsProving) Phase = kWsEdit;
}

void TWorkshopMode::PollProof() {
  // Cancelled jobs are joined once their worker has finished, so no frame waits for one.
  for (auto it = Cancelled.begin(); it != Cancelled.end();) {
    if ((*it)->Done.load(std::memory_order_acquire)) {
      (*it)->Worker.join();
      it = Cancelled.erase(it);
    } else {
      ++it;
    }
  }
  if (!Job || !Job->Done.load(std::memory_order_acquire)) return;
  Job->Worker.join();
  Report = std::move(Job->Report);
  Job.reset();
  HaveReport = true;
  Step = 0;
  ShowStep(0);
  if (Phase == kWsProving) Phase = Report.Result == TProof::Solvable ? kWsSolution : kWsEdit;
  if (Report.Result == TProof::Solvable)
    PlayDecide();
  else
    PlayCancel();
}

void TWorkshopMode::ShowStep(size_t step) {
  Step = std::min(step, Report.Solution.size());
  Shown = PlaySolutionPrefix(Cells().data(), Report.Solution, Step, 20);
}

// ---------------------------------------------------------------------------------------
// Try

void TWorkshopMode::StartTry() {
  bool any = false;
  for (uint8_t c : Cells()) any = any || c < 26;
  if (!any) {
    Message = "An empty well cannot be tried.";
    PlayCancel();
    return;
  }
  CancelProof();
  PlayDecide();
  Saved = *GameData;
  // The stage goes into the slot of its number (the game screen shows it), played on its
  // own: time and retries from nothing, nothing saved.
  const int32_t slot = ClampStage(static_cast<int32_t>(Current));
  std::copy(Cells().begin(), Cells().end(), GameData->PuzzleData + 60 * slot);
  GameData->GameType = 1;
  GameData->Stage = slot;
  GameData->StageTime = 0;
  GameData->Retries = 0;
  GameData->NoSave = true;
  Phase = kWsTrying;
  CreateScreenChild(TScreenId::GameMain);
}

void TWorkshopMode::EndTry() {
  DeleteChild();
  // Everything the game wrote (its result, the stage moved on) belonged to the try.
  *GameData = Saved;
  ApplyKeyConfig();  // the options opened from the pause may have changed the keys
  Kernel->Midi->Stop();
  Kernel->Input->TakeMouseEvents();
  Kernel->Blackout = false;
  Kernel->FadeLevel = 255;
  Phase = kWsFadeIn;
  Message = "Back from the try.";
}

// ---------------------------------------------------------------------------------------
// The replay runner's view

std::string TWorkshopMode::DumpState() const {
  const char* proof = Job ? "running"
                      : !HaveReport ? "none"
                      : Report.Result == TProof::Solvable ? "solvable"
                      : Report.Result == TProof::Unsolvable ? "unsolvable" : "undecided";
  char head[200];
  std::snprintf(head, sizeof head,
                " Cursor=%d,%d Letter=%c SetStage=%zu/%zu Changed=%d proof=%s swaps=%zu step=%zu"
                " checks=%zu well=",
                CursorCol, CursorRow, 'A' + Letter, Current + 1, Set.Stages.size(),
                Changed ? 1 : 0, proof, HaveReport ? Report.Solution.size() : 0, Step,
                Checks.size());
  std::string out = head;
  for (uint8_t c : Cells()) out += c < 26 ? static_cast<char>('A' + c) : '.';
  return out;
}

#include "engine/gamemode.h"

#include "engine/kernel.h"

TGameMode::TGameMode(TGameMode* parent, TKernel* kernel, void* data)
    : Parent(parent), Kernel(kernel), Data(data) {}

// A child still running at shutdown goes with its parent.
TGameMode::~TGameMode() { DeleteChild(); }

void TGameMode::Draw() { AutoPresent = false; }

void TGameMode::Init() { Initialized = true; }

void TGameMode::Move(int32_t) {}

void TGameMode::Leave() {}

void TGameMode::Control() {}

void TGameMode::CreateChild() {
  DeleteChild();
  Child = new TGameMode(this, Kernel, Data);
}

void TGameMode::DeleteChild() {
  delete Child;
  Child = nullptr;
}

bool TGameMode::Blink(int32_t period) {
  if (period <= 0) return true;
  return (Elapsed % (2 * period)) < period;
}

int32_t TGameMode::AnimFrame(int32_t period, int32_t count) {
  if (period <= 0 || count <= 0) return 0;
  return (Elapsed / period) % count;
}

void TGameMode::Update(int32_t dt) {
  if (Child) {
    Child->Update(dt);
    if (Child->IsFinished()) DeleteChild();
    return;
  }
  if (!Initialized) Init();
  Move(dt);
  Draw();
  if (AutoPresent) Kernel->Present();
  if (Finished) Leave();
  Elapsed += dt;
  Frames += 1;
}

void TGameMode::Paint() {
  if (Child) {
    Child->Paint();
    return;
  }
  Draw();
  if (AutoPresent) Kernel->Present();
}

bool TGameMode::IsFinished() { return Finished; }

TKernel* TGameMode::GetKernel() { return Kernel; }

TGameMode* TGameMode::Deepest() {
  TGameMode* m = this;
  while (m->Child) m = m->Child;
  return m;
}

#include "engine/actor.h"

#include <algorithm>

#include "engine/gamemode.h"

namespace {
TKernel* KernelOf(TGameMode* mode) { return mode ? mode->GetKernel() : nullptr; }
}  // namespace

TActor::TActor(TActor* owner, float x, float y, TGameMode* mode, int32_t kind)
    : IsGroup(false), Visible(true), Mode(mode), Kernel(KernelOf(mode)), Owner(owner),
      Kind(kind), X(x), Y(y) {}

TActor::TActor(TGameMode* mode, int32_t kind)
    : List(new std::vector<TActor*>()), IsGroup(true), Visible(false), Mode(mode),
      Kernel(KernelOf(mode)), Kind(kind) {}

TActor::~TActor() {
  Clear();
  delete List;
}

void TActor::Act(int32_t) {}

void TActor::Move(float dt) {
  double k = 0.001 * static_cast<double>(dt);
  X = static_cast<float>(X + VX * k);
  Y = static_cast<float>(Y + VY * k);
  VX = static_cast<float>(VX + AX * k);
  VY = static_cast<float>(VY + AY * k);
}

void TActor::Draw() {}

void TActor::Add(TActor* actor) {
  if (List) List->push_back(actor);
}

void TActor::Remove(TActor* actor) {
  if (!List) return;
  auto it = std::find(List->begin(), List->end(), actor);
  if (it != List->end()) List->erase(it);
}

int32_t TActor::Count() { return List ? static_cast<int32_t>(List->size()) : 0; }

TActor* TActor::Get(int32_t index) {
  if (index < 0 || index >= Count()) return nullptr;
  return (*List)[static_cast<size_t>(index)];
}

void TActor::UpdateChildren(int32_t dt) {
  if (!IsGroup) return;
  for (int32_t n = Count() - 1; n >= 0; --n) {
    TActor* child = Get(n);
    if (!child) continue;
    child->Update(dt);
    if (child->IsDead()) Delete(child);
  }
}

void TActor::DrawChildren() {
  if (!IsGroup) return;
  for (int32_t n = 0; n < Count(); ++n) Get(n)->Draw();
}

void TActor::HitChildren(TActor* other) {
  if (!IsGroup || !other) return;
  TRect r;
  other->GetRect(&r);
  for (int32_t n = Count() - 1; n >= 0; --n) Get(n)->HitTest(r, other);
}

void TActor::HitTest(const TRect& rect, TActor* other) {
  TRect mine;
  GetRect(&mine);
  if (Intersects(mine, rect)) OnHit(other);
}

bool TActor::Intersects(const TRect& a, const TRect& b) {
  return std::max(a.Left, b.Left) <= std::min(a.Right, b.Right) &&
         std::max(a.Top, b.Top) <= std::min(a.Bottom, b.Bottom);
}

TActor* TActor::Spawn(float x, float y, int32_t kind) {
  if (!IsGroup) return nullptr;
  TActor* a = new TActor(this, x, y, Mode, kind);
  Add(a);
  return a;
}

void TActor::Delete(TActor* child) {
  if (!IsGroup) return;
  Remove(child);
  delete child;
}

void TActor::Clear() {
  if (!List) return;
  std::vector<TActor*> children;
  children.swap(*List);
  for (TActor* c : children) delete c;
}

void TActor::Update(int32_t dt) {
  Act(dt);
  Move(static_cast<float>(dt));
  UpdateChildren(dt);
  Elapsed += dt;
}

void TActor::Paint() {
  if (Visible) Draw();
  DrawChildren();
}

void TActor::OnHit(TActor*) {}

void TActor::GetPos(TPoint& out) {
  out.X = static_cast<int32_t>(X);
  out.Y = static_cast<int32_t>(Y);
}

void TActor::GetRect(TRect* out) {
  if (!out) return;
  int32_t x = static_cast<int32_t>(X);
  int32_t y = static_cast<int32_t>(Y);
  out->Left = x + HitRect.Left;
  out->Top = y + HitRect.Top;
  out->Right = x + HitRect.Right;
  out->Bottom = y + HitRect.Bottom;
}

void TActor::Collide(TActor* other) {
  if (!other) return;
  TRect r;
  other->GetRect(&r);
  HitTest(r, other);
  if (IsGroup) HitChildren(other);
}

bool TActor::IsDead() { return Dead; }

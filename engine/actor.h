#pragma once
// TActor: an object on the screen that moves and draws itself, either a leaf or a group
// that runs, draws and removes its children and spawns new ones of its kind.
#include <cstdint>
#include <vector>

class TKernel;
class TGameMode;

struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
};

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
};

class TActor {
 public:
  // Leaf: spawned by a group (owner) or made by its creator.
  TActor(TActor* owner, float x, float y, TGameMode* mode, int32_t kind);
  // Group.
  TActor(TGameMode* mode, int32_t kind);
  virtual ~TActor();
  TActor(const TActor&) = delete;
  TActor& operator=(const TActor&) = delete;

  virtual void Act(int32_t dt);
  virtual void Move(float dt);
  virtual void Draw();
  virtual void Add(TActor* actor);
  virtual void Remove(TActor* actor);
  virtual int32_t Count();
  virtual TActor* Get(int32_t index);
  virtual void UpdateChildren(int32_t dt);
  virtual void DrawChildren();
  virtual void HitChildren(TActor* other);
  virtual void HitTest(const TRect& rect, TActor* other);
  virtual bool Intersects(const TRect& a, const TRect& b);
  virtual TActor* Spawn(float x, float y, int32_t kind);
  virtual void Delete(TActor* child);
  virtual void Clear();
  virtual void Update(int32_t dt);
  virtual void Paint();
  virtual void OnHit(TActor* other);
  virtual void GetPos(TPoint& out);
  virtual void GetRect(TRect* out);
  virtual void Collide(TActor* other);
  virtual bool IsDead();

  std::vector<TActor*>* List = nullptr;
  bool IsGroup = false;
  bool Dead = false;
  bool Visible = true;
  TGameMode* Mode = nullptr;
  TKernel* Kernel = nullptr;
  TActor* Owner = nullptr;
  int32_t Kind = 0;
  float X = 0, Y = 0;
  float VX = 0, VY = 0;
  float AX = 0, AY = 0;
  int32_t Elapsed = 0;
  TRect HitRect;
};

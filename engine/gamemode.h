#pragma once
// TGameMode: one screen of the game. Modes form a chain: a mode with a child only forwards
// to it; the deepest mode runs Init once, then Move, Draw, the kernel's Present and, once
// it has finished, Leave, every tick.
#include <cstdint>
#include <string>

class TKernel;

class TGameMode {
 public:
  TGameMode(TGameMode* parent, TKernel* kernel, void* data);
  virtual ~TGameMode();
  TGameMode(const TGameMode&) = delete;
  TGameMode& operator=(const TGameMode&) = delete;

  virtual void Draw();
  virtual void Init();
  virtual void Move(int32_t dt);
  virtual void Leave();
  virtual void Control();
  virtual void CreateChild();
  virtual void DeleteChild();
  virtual bool Blink(int32_t period);
  virtual int32_t AnimFrame(int32_t period, int32_t count);
  virtual void Update(int32_t dt);
  virtual void Paint();
  virtual bool IsFinished();
  virtual TKernel* GetKernel();

  // The class name of the deepest running mode (the replay runner's "dump").
  virtual const char* ClassName() const { return "TGameMode"; }
  // Extra " key=value" pairs of the mode's own state for the replay runner's "dump"
  // (the game screen's score, cursor and field); empty for most modes.
  virtual std::string DumpState() const { return std::string(); }
  TGameMode* Deepest();

  TGameMode* Parent = nullptr;
  TGameMode* Child = nullptr;
  TKernel* Kernel = nullptr;
  void* Data = nullptr;
  bool Initialized = false;
  bool Finished = false;
  bool AutoPresent = true;
  int32_t Elapsed = 0;
  int32_t Frames = 0;
  int32_t Phase = 0;
  int32_t Work = 0;
};

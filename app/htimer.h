#pragma once
// THITimer: the frame clock. Its ticks come to the main thread from the window's event
// loop, which sleeps until each deadline (ticks never pile up and a late tick is not made
// up); it also measures the time since it was started.
#include <cstdint>
#include <functional>
#include <stdexcept>

class EHITimerError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class THITimer {
 public:
  // Where periodic events come from; tests replace it to count starts and stops.
  struct Backend {
    uint32_t (*Start)(uint32_t intervalMs, void (*callback)(void*), void* user);
    void (*Stop)(uint32_t id);
    uint32_t (*Now)();
  };
  static Backend DefaultBackend();

  THITimer();
  explicit THITimer(const Backend& backend);
  virtual ~THITimer();
  THITimer(const THITimer&) = delete;
  THITimer& operator=(const THITimer&) = delete;

  void Loaded();
  void UpdateTimer();
  virtual void Timer();
  void SetEnabled(bool value);
  void SetInterval(uint32_t value);
  void Start();
  void Stop();
  uint32_t GetElapsedTime() const;

  bool Enabled = true;
  uint32_t Interval = 10;
  std::function<void(THITimer*)> OnTimer;
  uint32_t TimerID = 0;
  uint32_t StartTime = 0;
  uint32_t StoppedTime = 0;

 private:
  Backend Platform;
};

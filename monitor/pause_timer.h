// How the macro player waits out a pause. Windows' default timer tick is 15.6 ms, so a plain wait
// of 20 ms lasts 16 to 31 ms. The player asks the system for a high-resolution waitable timer;
// where the system refuses it, it raises the system's timer resolution to 1 ms, only while a
// macro plays. Either way the timer wakes the player shortly before the deadline and the last
// stretch is yielded away, so that the key goes out on time.
#pragma once

#include <cstdint>

namespace q7 {

// What the pause timer asks of the system: the real one in the monitor, a fake one in tests.
class PauseTimerSystem {
public:
  virtual ~PauseTimerSystem() = default;
  virtual int64_t nowMicros() = 0;
  // Makes the timer that waitFor uses; false when the system refused (then waitFor still waits,
  // on the system's ordinary tick).
  virtual bool createHighResolutionTimer() = 0;
  // Waits about micros, or less when the player is told to stop; false when it was told to stop.
  virtual bool waitFor(int64_t micros) = 0;
  // Gives the rest of the time slice away.
  virtual void yield() = 0;
  virtual bool stopRequested() = 0;
  // The system's timer resolution raised to 1 ms (true when the system agreed), and restored.
  virtual bool raiseResolution() = 0;
  virtual void restoreResolution() = 0;
};

enum class PauseTimerKind {
  HighResolution,  // the system's high-resolution timer
  RaisedResolution // an ordinary wait, with the timer resolution raised while a macro plays
};

class PauseTimer {
public:
  // Asks the system for the high-resolution timer; its answer chooses the kind.
  explicit PauseTimer(PauseTimerSystem& system);
  ~PauseTimer(); // a raised resolution is restored
  PauseTimer(const PauseTimer&) = delete;
  PauseTimer& operator=(const PauseTimer&) = delete;

  PauseTimerKind kind() const { return kind_; }
  // How long before a deadline the timer wakes the player; the rest is yielded away.
  int64_t earlyMicros() const { return kind_ == PauseTimerKind::HighResolution ? 1000 : 2000; }

  // A macro starts and ends: the resolution is raised for it when this kind needs it.
  void macroStarts();
  void macroEnds();

  // Waits until the time (of nowMicros); false when the player was told to stop meanwhile.
  bool waitUntil(int64_t micros);

private:
  PauseTimerSystem& system_;
  PauseTimerKind kind_;
  bool playing_ = false;
  bool raised_ = false;
};

// Marks a macro's play: the resolution needed is held for exactly as long as it lives.
class PlayingMacro {
public:
  explicit PlayingMacro(PauseTimer& timer) : timer_(timer) { timer_.macroStarts(); }
  ~PlayingMacro() { timer_.macroEnds(); }
  PlayingMacro(const PlayingMacro&) = delete;
  PlayingMacro& operator=(const PlayingMacro&) = delete;

private:
  PauseTimer& timer_;
};

} // namespace q7

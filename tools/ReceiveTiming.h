#pragma once
// CReceiveTiming: the receive timing of data mode, in seconds of the local
// day (hour * 3600 + minute * 60 + second). lastByteTime 0 means idle; a
// reception runs from its first counted byte until a timer tick finds no
// progress since the tick before (or any tick: see OnTick).
// Qt-free; one thread (the UI thread).

class CReceiveTiming {
 public:
  // Bytes of 0xB0 and above are collected but do not count as activity.
  static constexpr unsigned kFirstSilentByte = 0xB0;

  // What a tick decided.
  enum class TickEnd {
    None,       // idle before the tick: nothing to end
    Full,       // no progress since the last tick: end with focus, search, reopen
    Plain,      // progress since the last tick: end without the extras
  };

  // A byte arrived at `now`. Returns true when a reception starts with it
  // (firstByteTime was set). Every byte calls this, also the ones that do
  // not count as activity.
  bool OnByteStart(int now);
  // A byte below 0xB0 was handled: lastByteTime := `now`.
  void OnActivity(int now) { lastByteTime = now; }

  // Timer 500 in data mode. Full: the span (last minus first byte time)
  // is the one seen at the previous tick, and the times are reset. Plain:
  // the span grew; lastSpan takes it, and EndIfStalled, which the tick runs
  // next, then ends the reception too.
  TickEnd OnTick();
  // The common tick ending (any timer id): true when a running reception
  // made no progress since lastSpan was taken; the times are then reset.
  bool EndIfStalled();

  bool Busy() const { return lastByteTime != 0; }
  void Reset() { lastByteTime = firstByteTime = lastSpan = 0; }

  int lastByteTime = 0;
  int firstByteTime = 0;
  int lastSpan = 0;
};

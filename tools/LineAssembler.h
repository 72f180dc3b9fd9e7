#pragma once
// CLineAssembler: collects received bytes into lines. A line ends with
// its line feed, which stays part of it (as does a carriage return before
// it); bytes after the last line feed wait for the next one.
// Qt-free; one thread.

#include <string>

class CLineAssembler {
 public:
  // Appends `byte`; true when it was a line feed, so that a complete line
  // is ready for TakeLine().
  bool Add(char byte) {
    pending_.push_back(byte);
    return byte == '\n';
  }
  // The bytes collected so far (the complete line after Add returned true),
  // which are forgotten.
  std::string TakeLine() {
    std::string line;
    line.swap(pending_);
    return line;
  }
  // The bytes not yet ended by a line feed.
  const std::string& Pending() const { return pending_; }

 private:
  std::string pending_;
};

#pragma once
// CLineStore: the text of a long capture, held compactly: every byte in one
// contiguous buffer, exactly as received or edited (UTF-8, line ends
// included), and one index entry per line feed (the offset just after it).
// A line is the bytes up to and including its line feed; a carriage return
// is an ordinary byte, so "a\rb\n" is one line. The last line has no line
// feed (it is empty when the text ends with one).
//
// Memory: about one byte per byte of text plus 8 bytes per line. Both
// arrays grow with realloc, which for large blocks remaps pages instead of
// copying them, so growing never holds two copies of the text.
// Appending is O(length); an edit in the middle moves the bytes and index
// entries after it (O(text), rare: the user's edits).
// Offsets are byte offsets into the text. Qt-free; one thread.

#include <cstddef>
#include <cstdint>
#include <string_view>

// A growable array of trivially copyable values kept in one malloc'd block.
template <typename T>
class CGrowArray {
 public:
  CGrowArray() = default;
  CGrowArray(const CGrowArray&) = delete;
  CGrowArray& operator=(const CGrowArray&) = delete;
  ~CGrowArray();

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const T* data() const { return data_; }
  T* data() { return data_; }
  const T& operator[](std::size_t i) const { return data_[i]; }
  T& operator[](std::size_t i) { return data_[i]; }

  void Append(const T* values, std::size_t n);
  void Insert(std::size_t at, const T* values, std::size_t n);
  void Erase(std::size_t from, std::size_t n);
  // Drops everything and gives the memory back.
  void Clear();

 private:
  void Reserve(std::size_t n);
  T* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

class CLineStore {
 public:
  std::uint64_t Size() const { return text_.size(); }
  const char* Data() const { return text_.data(); }
  std::string_view Slice(std::uint64_t from, std::uint64_t to) const {
    return {text_.data() + from, static_cast<std::size_t>(to - from)};
  }

  // Lines as shown: the line feeds plus one (the last, unended line, maybe
  // empty). Never 0.
  std::uint64_t Rows() const { return lineEnds_.size() + 1; }
  // Lines that hold text: Rows() without an empty last line; 0 when empty.
  std::uint64_t LineCount() const;
  std::uint64_t RowStart(std::uint64_t row) const { return row == 0 ? 0 : lineEnds_[row - 1]; }
  // End of row `row` including its line feed.
  std::uint64_t RowEnd(std::uint64_t row) const {
    return row < lineEnds_.size() ? lineEnds_[row] : text_.size();
  }
  // The row holding `offset` (an offset just after a line feed starts the next row).
  std::uint64_t RowOf(std::uint64_t offset) const;

  void Append(std::string_view bytes);
  // Replaces the bytes [from, to) by `bytes`.
  void Replace(std::uint64_t from, std::uint64_t to, std::string_view bytes);
  void Clear();

 private:
  CGrowArray<char> text_;
  CGrowArray<std::uint64_t> lineEnds_;  // offset after each line feed, ascending
};

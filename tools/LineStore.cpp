#include "tools/LineStore.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

template <typename T>
CGrowArray<T>::~CGrowArray() {
  std::free(data_);
}

template <typename T>
void CGrowArray<T>::Reserve(std::size_t n) {
  if (n <= capacity_)
    return;
  // A quarter more each time: few remaps, little unused room; pages not yet
  // written cost no memory.
  std::size_t capacity = std::max<std::size_t>({n, capacity_ + capacity_ / 4, 4096 / sizeof(T)});
  void* grown = std::realloc(data_, capacity * sizeof(T));
  if (grown == nullptr)
    throw std::bad_alloc();
  data_ = static_cast<T*>(grown);
  capacity_ = capacity;
}

template <typename T>
void CGrowArray<T>::Append(const T* values, std::size_t n) {
  Insert(size_, values, n);
}

template <typename T>
void CGrowArray<T>::Insert(std::size_t at, const T* values, std::size_t n) {
  if (n == 0)
    return;
  Reserve(size_ + n);
  std::memmove(data_ + at + n, data_ + at, (size_ - at) * sizeof(T));
  std::memcpy(data_ + at, values, n * sizeof(T));
  size_ += n;
}

template <typename T>
void CGrowArray<T>::Erase(std::size_t from, std::size_t n) {
  if (n == 0)
    return;  // also keeps memmove away from the null block of an empty array
  std::memmove(data_ + from, data_ + from + n, (size_ - from - n) * sizeof(T));
  size_ -= n;
}

template <typename T>
void CGrowArray<T>::Clear() {
  std::free(data_);
  data_ = nullptr;
  size_ = capacity_ = 0;
}

template class CGrowArray<char>;
template class CGrowArray<std::uint64_t>;

std::uint64_t CLineStore::LineCount() const {
  return RowStart(Rows() - 1) == text_.size() ? lineEnds_.size() : Rows();
}

std::uint64_t CLineStore::RowOf(std::uint64_t offset) const {
  const std::uint64_t* begin = lineEnds_.data();
  const std::uint64_t* end = begin + lineEnds_.size();
  return static_cast<std::uint64_t>(std::upper_bound(begin, end, offset) - begin);
}

void CLineStore::Append(std::string_view bytes) {
  const std::uint64_t base = text_.size();
  text_.Append(bytes.data(), bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      const std::uint64_t end = base + i + 1;
      lineEnds_.Append(&end, 1);
    }
  }
}

void CLineStore::Replace(std::uint64_t from, std::uint64_t to, std::string_view bytes) {
  // Line feeds in [from, to) go, those of `bytes` come; the rest move by delta.
  const std::uint64_t first = RowOf(from);  // first entry > from
  const std::uint64_t last = RowOf(to);     // first entry > to
  lineEnds_.Erase(first, last - first);
  std::vector<std::uint64_t> added;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] == '\n')
      added.push_back(from + i + 1);
  lineEnds_.Insert(first, added.data(), added.size());
  const std::int64_t delta = static_cast<std::int64_t>(bytes.size()) - static_cast<std::int64_t>(to - from);
  for (std::size_t i = first + added.size(); i < lineEnds_.size(); ++i)
    lineEnds_[i] = static_cast<std::uint64_t>(static_cast<std::int64_t>(lineEnds_[i]) + delta);
  text_.Erase(from, to - from);
  text_.Insert(from, bytes.data(), bytes.size());
}

void CLineStore::Clear() {
  text_.Clear();
  lineEnds_.Clear();
}

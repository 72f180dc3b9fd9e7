#pragma once
// The read side of the data view's text in the shape of Qt's text document
// (document(), its blocks and their first fragment, the caret's position),
// so that code written against a QPlainTextEdit reads CMyRichEdit alike.
// Positions count UTF-16 characters, as in Qt; a line's line end counts
// one character per byte (CR LF: two). Walking positions costs O(text):
// meant for checks, not for per-line work. Threads: UI thread only.

#include <QString>
#include <QTextCharFormat>

#include <algorithm>
#include <cstdint>

class CMyRichEdit;

class CViewFragment {
 public:
  CViewFragment(QString text, QTextCharFormat format)
      : text_(std::move(text)), format_(std::move(format)) {}
  QString text() const { return text_; }
  QTextCharFormat charFormat() const { return format_; }

 private:
  QString text_;
  QTextCharFormat format_;
};

// Iterator at a block's first fragment (the run of one format at its start).
class CViewFragmentIterator {
 public:
  CViewFragmentIterator(const CMyRichEdit* view, std::uint64_t row) : view_(view), row_(row) {}
  CViewFragment fragment() const;

 private:
  const CMyRichEdit* view_;
  std::uint64_t row_;
};

class CViewBlock {
 public:
  CViewBlock(const CMyRichEdit* view, std::uint64_t row) : view_(view), row_(row) {}
  bool isValid() const;
  int blockNumber() const { return static_cast<int>(row_); }
  QString text() const;
  CViewFragmentIterator begin() const { return {view_, row_}; }

 private:
  const CMyRichEdit* view_;
  std::uint64_t row_;
};

class CViewDocument {
 public:
  explicit CViewDocument(const CMyRichEdit* view) : view_(view) {}
  // Characters including the closing paragraph mark, as in Qt.
  int characterCount() const;
  int blockCount() const;
  CViewBlock firstBlock() const { return {view_, 0}; }
  CViewBlock findBlockByNumber(int n) const { return {view_, static_cast<std::uint64_t>(n)}; }
  bool isEmpty() const;

 private:
  const CMyRichEdit* view_;
};

class CViewCursor {
 public:
  CViewCursor(int position, int anchor) : position_(position), anchor_(anchor) {}
  int position() const { return position_; }
  int anchor() const { return anchor_; }
  bool hasSelection() const { return position_ != anchor_; }
  int selectionStart() const { return std::min(position_, anchor_); }
  int selectionEnd() const { return std::max(position_, anchor_); }

 private:
  int position_;
  int anchor_;
};

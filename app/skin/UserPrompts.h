#pragma once
// The two questions and notices the pages put to the user: a message box
// with an OK button, and the open-file dialog. Both can be replaced by a
// hook (tests record the texts and answer the file dialog). When one
// closes, the parent's window has the keyboard again.
// Threads: UI thread only.

#include <QString>

#include <functional>

class QWidget;

namespace prompts {

enum class MessageIcon { Warning, Error };

using MessageHook = std::function<void(QWidget* parent, const QString& text)>;
using OpenDocumentHook = std::function<void(const QString& path)>;
using OpenFileHook =
    std::function<QString(QWidget* parent, const QString& filter, const QString& startPath)>;

// An empty hook restores the real dialogs.
void SetMessageHook(MessageHook hook);
void SetOpenFileHook(OpenFileHook hook);
void SetOpenDocumentHook(OpenDocumentHook hook);

// A message box in the program's flat look with `text` (shown exactly), the
// icon and an OK button; returns when it closed.
void ShowMessage(QWidget* parent, const QString& text, MessageIcon icon = MessageIcon::Warning);

// Opens `path` with the desktop's program for its type; no message when
// that fails.
void OpenDocument(const QString& path);

// The open-file dialog; the chosen full path, or empty when cancelled.
// `filter` uses Qt's syntax; the dialog shows only its name (the text
// before the patterns).
QString ChooseOpenFile(QWidget* parent, const QString& filter, const QString& startPath);

// The filter for one file pattern such as "*.bin": named by the pattern
// itself, and matching its name in every case ("x.Bin" too), as Windows
// matches it.
QString FilterFor(const QString& pattern);

}  // namespace prompts

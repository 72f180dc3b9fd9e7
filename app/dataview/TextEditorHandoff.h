#pragma once
// "Edit in Notepad" of the data view: hands the view's whole text to a
// text editor, where the user can edit and save it.
// Windows: starts Notepad, waits until it shows its window (class
// "Notepad", of the process just started, up to 10 s on the UI thread: a
// Notepad already open keeps its document) and sets the text of the first
// "Edit" window down its first-child chain. Elsewhere: writes the text to
// a private temporary file (mode 0600, UTF-8, line ends as received) and
// opens it with the desktop's default handler for text files.
// Whole lines go over, however long. Failures end the command silently.
// Threads: UI thread only.

#include <QString>

#include <functional>

class QWidget;

// False when nothing could be handed over.
bool EditInTextEditor(QWidget* owner, const QString& text);

// Replaces how a written file is opened (tests; POSIX only). Gets the
// file's path; returns whether it was opened. Empty: the desktop handler.
void SetTextFileOpener(std::function<bool(const QString& path)> opener);

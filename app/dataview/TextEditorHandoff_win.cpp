// Notepad is started and its edit window given the text.
#include <windows.h>
#include <shellapi.h>

#include <QWidget>

#include "app/dataview/TextEditorHandoff.h"

namespace {
// How long Notepad may take to show its window. A slow or busy machine
// needs more than a fixed pause.
constexpr DWORD kNotepadStartMs = 10000;
constexpr DWORD kLookEveryMs = 50;

struct Search {
  DWORD process;
  HWND found;
};

// The Notepad window of the process just started: a Notepad the user had
// open before keeps its own document.
BOOL CALLBACK TakeIfOurs(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[64];
  if (owner != search->process || GetClassNameW(window, className, 64) == 0 ||
      lstrcmpW(className, L"Notepad") != 0)
    return TRUE;
  search->found = window;
  return FALSE;
}

HWND NotepadWindowOf(HANDLE process) {
  const ULONGLONG deadline = GetTickCount64() + kNotepadStartMs;
  Search search{GetProcessId(process), nullptr};
  WaitForInputIdle(process, kNotepadStartMs);
  for (;;) {
    EnumWindows(TakeIfOurs, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr || GetTickCount64() >= deadline)
      return search.found;
    Sleep(kLookEveryMs);
  }
}
}  // namespace

void SetTextFileOpener(std::function<bool(const QString&)>) {}

bool EditInTextEditor(QWidget* owner, const QString& text) {
  SHELLEXECUTEINFOW start{};
  start.cbSize = sizeof start;
  start.fMask = SEE_MASK_NOCLOSEPROCESS;
  start.hwnd = owner != nullptr ? reinterpret_cast<HWND>(owner->winId()) : nullptr;
  start.lpVerb = L"open";
  start.lpFile = L"notepad.exe";
  start.nShow = SW_SHOW;
  if (!ShellExecuteExW(&start) || start.hProcess == nullptr)
    return false;
  const HWND window = NotepadWindowOf(start.hProcess);
  CloseHandle(start.hProcess);
  if (window == nullptr)
    return false;
  // Down the chain of first children to the edit control.
  wchar_t className[64];
  HWND target = GetWindow(window, GW_CHILD);
  while (target != nullptr) {
    GetClassNameW(target, className, 64);
    if (lstrcmpW(className, L"Edit") == 0)
      break;
    target = GetWindow(target, GW_CHILD);
  }
  if (target == nullptr)
    return false;
  // The whole text at once: no line is cut, however long.
  SendMessageW(target, WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(reinterpret_cast<const wchar_t*>(text.utf16())));
  return true;
}

// Notepad is started and its edit window given the text.
#include <windows.h>
#include <shellapi.h>

#include <QWidget>

#include "app/dataview/TextEditorHandoff.h"

namespace {
constexpr DWORD kNotepadStartMs = 500;
}  // namespace

void SetTextFileOpener(std::function<bool(const QString&)>) {}

bool EditInTextEditor(QWidget* owner, const QString& text) {
  HWND ownerWindow = owner != nullptr ? reinterpret_cast<HWND>(owner->winId()) : nullptr;
  const HINSTANCE started =
      ShellExecuteW(ownerWindow, L"open", L"notepad.exe", nullptr, nullptr, SW_SHOW);
  if (reinterpret_cast<INT_PTR>(started) == 0)
    return false;
  Sleep(kNotepadStartMs);
  HWND window = FindWindowW(L"Notepad", nullptr);
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

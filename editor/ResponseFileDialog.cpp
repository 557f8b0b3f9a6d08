#include "editor/ResponseFileDialog.h"

#include <windows.h>

#include <commdlg.h>

#include <vector>

bool ResponseFileDialog::choose(void* owner, std::string& utf8Path) {
  // Long paths are allowed: the buffer is the most a path may be with the \\?\ prefix.
  std::vector<wchar_t> file(32768, L'\0');
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = static_cast<HWND>(owner);
  dialog.lpstrFilter =
      L"Impulse responses (*.wav, *.aif, *.aiff, *.flac)\0*.wav;*.aif;*.aiff;*.flac\0All files (*.*)\0*.*\0";
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrTitle = L"Load an impulse response";
  // No change of the process's current folder: the host's relative paths must keep working.
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
  if (!GetOpenFileNameW(&dialog)) return false;
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, file.data(), -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 1) return false;
  std::string path(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, file.data(), -1, &path[0], bytes, nullptr, nullptr);
  path.resize(static_cast<size_t>(bytes - 1));
  utf8Path.swap(path);
  return true;
}

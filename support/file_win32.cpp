// file_win32.cpp: the file layer of the program: FindFirstFileA for the stamp, a message box
// for the fatal error, MoveFileExA for the one-step replacement, _chsize for the cut.
#include "support/support.h"

#include <windows.h>
#include <io.h>

#include <cstdlib>

#include "res/resource_ids.h"
#include "res/text.h"

int32_t FileStamp(const char* path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path, &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  const DWORD passedOver = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  BOOL matched = (found.dwFileAttributes & passedOver) == 0;
  while (!matched && FindNextFileA(search, &found)) {
    matched = (found.dwFileAttributes & passedOver) == 0;
  }
  FindClose(search);
  if (!matched) return 0;

  FILETIME local;
  WORD date = 0;
  WORD clock = 0;
  // A time the FAT format cannot hold gives a zero stamp.
  if (!FileTimeToLocalFileTime(&found.ftLastWriteTime, &local) ||
      !FileTimeToDosDateTime(&local, &date, &clock)) {
    date = 0;
    clock = 0;
  }
  uint32_t stamp = (static_cast<uint32_t>(date) << 16) | clock;
  return stamp == 0 ? -1 : static_cast<int32_t>(stamp);
}

void FatalError(const char* message) {
  MessageBoxA(static_cast<HWND>(FatalErrorOwner()), message, LoadText(IDS_CAPTION),
              MB_ICONERROR | MB_OK);
  exit(1);
}

int CommitAndClose(FILE* stream) {
  int ok = fflush(stream) == 0 && _commit(_fileno(stream)) == 0;
  if (fclose(stream) != 0) ok = 0;
  return ok;
}

int ReplaceFileWith(const char* source, const char* target) {
  return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

int CutFile(FILE* stream, long length) {
  return fflush(stream) == 0 && _chsize(_fileno(stream), length) == 0;
}

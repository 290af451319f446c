// file_posix.cpp: the file layer of the host build: stat for the stamp, stderr for the fatal
// message, rename for the one-step replacement, ftruncate for the cut.
#include "support/support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

int32_t FileStamp(const char* path) {
  struct stat info;
  if (stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return 0;
  // A name starting with a dot is what a hidden file is here.
  const char* slash = strrchr(path, '/');
  const char* name = slash != nullptr ? slash + 1 : path;
  if (name[0] == '.') return 0;

  time_t when = info.st_mtime;
  struct tm local;
  uint32_t stamp = 0;
  // Outside 1980 to 2107 the FAT format has no way to say the time: it counts as zero.
  if (localtime_r(&when, &local) != nullptr && local.tm_year >= 80 && local.tm_year <= 207) {
    uint32_t date = (static_cast<uint32_t>(local.tm_year - 80) << 9) |
                    (static_cast<uint32_t>(local.tm_mon + 1) << 5) |
                    static_cast<uint32_t>(local.tm_mday);
    uint32_t clock = (static_cast<uint32_t>(local.tm_hour) << 11) |
                     (static_cast<uint32_t>(local.tm_min) << 5) |
                     static_cast<uint32_t>(local.tm_sec / 2);
    stamp = (date << 16) | clock;
  }
  return stamp == 0 ? -1 : static_cast<int32_t>(stamp);
}

void FatalError(const char* message) {
  fputs(message, stderr);
  fputc('\n', stderr);
  exit(1);
}

int CommitAndClose(FILE* stream) {
  int ok = fflush(stream) == 0 && fsync(fileno(stream)) == 0;
  if (fclose(stream) != 0) ok = 0;
  return ok;
}

int ReplaceFileWith(const char* source, const char* target) {
  return rename(source, target) == 0;
}

int CutFile(FILE* stream, long length) {
  return fflush(stream) == 0 && ftruncate(fileno(stream), length) == 0;
}

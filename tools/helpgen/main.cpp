// main.cpp: helpgen, which writes torvane.hlp from the help sources, titled with the program's
// caption.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "res/resource_ids.h"
#include "res/string_table.h"
#include "tools/helpgen/help.h"

namespace {

bool ReadFile(const char* path, std::string* text) {
  FILE* file = fopen(path, "rb");
  if (file == nullptr) return false;
  char chunk[4096];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) text->append(chunk, got);
  const bool read = ferror(file) == 0;
  return fclose(file) == 0 && read;
}

// Written beside the target and renamed over it, so a failed run leaves no half file behind.
bool WriteFile(const char* path, const std::vector<uint8_t>& bytes) {
  const std::string temporary = std::string(path) + ".new";
  FILE* file = fopen(temporary.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (fclose(file) != 0 || !written || rename(temporary.c_str(), path) != 0) {
    remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr,
            "usage: helpgen OUTPUT.hlp SOURCE...\n"
            "Writes the help file from the sources, whose first topic is the contents.\n");
    return 2;
  }
  HelpDocument document;
  document.title = FindStringEntry(IDS_CAPTION);
  for (int i = 2; i < argc; ++i) {
    std::string text, error;
    if (!ReadFile(argv[i], &text)) {
      fprintf(stderr, "helpgen: cannot read %s: %s\n", argv[i], strerror(errno));
      return 1;
    }
    if (!ReadHelpSource(argv[i], text, &document, &error)) {
      fprintf(stderr, "helpgen: %s\n", error.c_str());
      return 1;
    }
  }
  std::vector<uint8_t> file;
  std::string error;
  if (!WriteHelpFile(document, &file, &error)) {
    fprintf(stderr, "helpgen: %s\n", error.c_str());
    return 1;
  }
  if (!WriteFile(argv[1], file)) {
    fprintf(stderr, "helpgen: cannot write %s: %s\n", argv[1], strerror(errno));
    return 1;
  }
  return 0;
}

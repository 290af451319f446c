// main.cpp: helpgen, which writes torvane.hlp from the help sources, titled with the program's
// caption; the same help as web pages, one a language; and the read-me of the download.
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
bool WriteFile(const std::string& path, const std::string& bytes) {
  const std::string temporary = path + ".new";
  FILE* file = fopen(temporary.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (fclose(file) != 0 || !written || rename(temporary.c_str(), path.c_str()) != 0) {
    remove(temporary.c_str());
    return false;
  }
  return true;
}

// The sources read into the document, in order; false once one has been reported.
bool ReadSources(char** first, char** last, HelpDocument* document) {
  for (char** source = first; source != last; ++source) {
    std::string text, error;
    if (!ReadFile(*source, &text)) {
      fprintf(stderr, "helpgen: cannot read %s: %s\n", *source, strerror(errno));
      return false;
    }
    if (!ReadHelpSource(*source, text, document, &error)) {
      fprintf(stderr, "helpgen: %s\n", error.c_str());
      return false;
    }
  }
  return true;
}

bool Save(const std::string& path, const std::string& bytes) {
  if (WriteFile(path, bytes)) return true;
  fprintf(stderr, "helpgen: cannot write %s: %s\n", path.c_str(), strerror(errno));
  return false;
}

// --html PREFIX LANGUAGE=SOURCE...: PREFIX-LANGUAGE.htm for each.
int WritePages(int count, char** arguments) {
  const std::string prefix = arguments[0];
  const size_t slash = prefix.find_last_of('/');
  const std::string base = slash == std::string::npos ? prefix : prefix.substr(slash + 1);
  std::vector<HelpPage> pages;
  for (int i = 1; i < count; ++i) {
    char* equals = strchr(arguments[i], '=');
    if (equals == nullptr) {
      fprintf(stderr, "helpgen: a page is given as LANGUAGE=SOURCE, not %s\n", arguments[i]);
      return 2;
    }
    HelpPage page;
    page.language.assign(arguments[i], equals);
    page.file = base + "-" + page.language + ".htm";
    char* source = equals + 1;
    if (!ReadSources(&source, &source + 1, &page.document)) return 1;
    pages.push_back(page);
  }
  std::vector<std::string> html;
  std::string error;
  if (!WriteHelpPages(pages, &html, &error)) {
    fprintf(stderr, "helpgen: %s\n", error.c_str());
    return 1;
  }
  for (size_t i = 0; i < pages.size(); ++i) {
    if (!Save(prefix + "-" + pages[i].language + ".htm", html[i])) return 1;
  }
  return 0;
}

// --readme OUTPUT TEMPLATE SOURCE...
int WriteReadmeFile(int count, char** arguments) {
  std::string templateText, text, error;
  if (!ReadFile(arguments[1], &templateText)) {
    fprintf(stderr, "helpgen: cannot read %s: %s\n", arguments[1], strerror(errno));
    return 1;
  }
  HelpDocument document;
  if (!ReadSources(arguments + 2, arguments + count, &document)) return 1;
  if (!WriteReadme(templateText, document, &text, &error)) {
    fprintf(stderr, "helpgen: %s\n", error.c_str());
    return 1;
  }
  return Save(arguments[0], text) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && strcmp(argv[1], "--html") == 0) return WritePages(argc - 2, argv + 2);
  if (argc >= 5 && strcmp(argv[1], "--readme") == 0) return WriteReadmeFile(argc - 2, argv + 2);
  if (argc < 3 || argv[1][0] == '-') {
    fprintf(stderr,
            "usage: helpgen OUTPUT.hlp SOURCE...\n"
            "       helpgen --html PREFIX LANGUAGE=SOURCE...\n"
            "       helpgen --readme OUTPUT.txt TEMPLATE SOURCE...\n"
            "Writes the help file from the sources, whose first topic is the contents; the help\n"
            "as web pages PREFIX-LANGUAGE.htm, one a source; or the read-me from its template.\n");
    return 2;
  }
  HelpDocument document;
  document.title = FindStringEntry(IDS_CAPTION);
  if (!ReadSources(argv + 2, argv + argc, &document)) return 1;
  std::vector<uint8_t> file;
  std::string error;
  if (!WriteHelpFile(document, &file, &error)) {
    fprintf(stderr, "helpgen: %s\n", error.c_str());
    return 1;
  }
  return Save(argv[1], std::string(file.begin(), file.end())) ? 0 : 1;
}

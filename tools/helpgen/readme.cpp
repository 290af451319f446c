// readme.cpp: the read-me of the download, from its template and the help's own lists, so that
// the inputs it names are the ones the help names, in both languages.
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "tools/helpgen/help.h"

namespace {

// Characters, not bytes: a UTF-8 continuation byte adds no column.
size_t Columns(const std::string& utf8) {
  size_t columns = 0;
  for (char c : utf8) columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return columns;
}

// The words of a Windows-1252 text; French punctuation that follows a blank (" :", " ;") stays
// with the word before it, so that no line starts with it.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    start = end + 1;
    if (word.empty()) continue;
    if (!words.empty() && word.size() == 1 && strchr(":;!?\xBB", word[0]) != nullptr) {
      words.back() += " " + word;
    } else {
      words.push_back(word);
    }
  }
  return words;
}

// One list item: "- " and its words, lines of at most kReadmeColumns, the next lines indented
// under the first word.
void AppendItem(const HelpParagraph& item, std::string* out) {
  std::string text;
  for (const HelpRun& run : item.runs) text += run.text;
  std::string line = "-";
  for (const std::string& word : Words(text)) {
    if (line.size() > 1 && line.size() + 1 + word.size() > kReadmeColumns) {
      *out += Utf8FromWindows1252(line) + "\r\n";
      line = " ";
    }
    line += " " + word;
  }
  *out += Utf8FromWindows1252(line) + "\r\n";
}

}  // namespace

bool WriteReadme(const std::string& templateText, const HelpDocument& document, std::string* text,
                 std::string* error) {
  *text = "\xEF\xBB\xBF";
  std::string body = templateText;
  if (!body.empty() && body.back() == '\n') body.pop_back();
  size_t start = 0;
  for (int line = 1; start <= body.size(); ++line) {
    size_t end = body.find('\n', start);
    if (end == std::string::npos) end = body.size();
    std::string current = body.substr(start, end - start);
    start = end + 1;
    if (!current.empty() && current.back() == '\r') current.pop_back();
    const std::string where = "read-me template:" + std::to_string(line) + ": ";
    if (!current.empty() && current[0] == '#') continue;
    if (current.compare(0, 7, "@items ") != 0) {
      if (Columns(current) > kReadmeColumns) {
        *error = where + "wider than " + std::to_string(kReadmeColumns) + " columns";
        return false;
      }
      *text += current + "\r\n";
      continue;
    }
    const std::string context = current.substr(7);
    const HelpTopic* topic = nullptr;
    for (const HelpTopic& candidate : document.topics) {
      if (candidate.context == context) topic = &candidate;
    }
    int items = 0;
    for (size_t i = 0; topic != nullptr && i < topic->paragraphs.size(); ++i) {
      if (topic->paragraphs[i].kind != HelpBlock::kItem) continue;
      AppendItem(topic->paragraphs[i], text);
      ++items;
    }
    if (items == 0) {
      *error = where + "no topic \"" + context + "\" with list items";
      return false;
    }
  }
  return true;
}

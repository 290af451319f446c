// source.cpp: reads the plain-text help sources (UTF-8) into topics of Windows-1252 paragraphs.
//
// The markup, line by line:
//   # ...                    a comment
//   == context | Title       starts a topic; the context is what jumps name (letters, digits,
//                            '_' and '.', as the help system allows)
//   - text                   a list item, its own indented paragraph with a bullet
//   text                     paragraph text; following lines join it, a blank line ends it
// and within a paragraph: **bold** and [shown text](context) for a jump to a topic.
#include <cstddef>
#include <string>

#include "tools/helpgen/help.h"

namespace {

// The Windows-1252 byte of each character between 0x80 and 0x9F; the rest of Latin-1 keeps its
// code.
const struct {
  unsigned codePoint;
  unsigned char byte;
} kWindows1252[] = {{0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85},
                    {0x2020, 0x86}, {0x2021, 0x87}, {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A},
                    {0x2039, 0x8B}, {0x0152, 0x8C}, {0x017D, 0x8E}, {0x2018, 0x91}, {0x2019, 0x92},
                    {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95}, {0x2013, 0x96}, {0x2014, 0x97},
                    {0x02DC, 0x98}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B}, {0x0153, 0x9C},
                    {0x017E, 0x9E}, {0x0178, 0x9F}};

bool ToWindows1252(unsigned codePoint, char* byte) {
  if (codePoint >= 0x20 && (codePoint < 0x7F || (codePoint >= 0xA0 && codePoint <= 0xFF))) {
    *byte = static_cast<char>(codePoint);
    return true;
  }
  for (const auto& entry : kWindows1252) {
    if (entry.codePoint == codePoint) {
      *byte = static_cast<char>(entry.byte);
      return true;
    }
  }
  return false;
}

// UTF-8 to Windows-1252; false for a malformed sequence or a character the code page lacks.
bool Convert(const std::string& utf8, std::string* out) {
  out->clear();
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    const int extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : -1;
    if (extra < 0 || utf8.size() - i <= static_cast<size_t>(extra)) return false;
    unsigned codePoint = extra == 0 ? lead : lead & (extra == 1 ? 0x1Fu : 0x0Fu);
    for (int k = 1; k <= extra; ++k) {
      const unsigned char next = static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]);
      if ((next & 0xC0) != 0x80) return false;
      codePoint = (codePoint << 6) | (next & 0x3Fu);
    }
    char byte;
    if (!ToWindows1252(codePoint, &byte)) return false;
    out->push_back(byte);
    i += static_cast<size_t>(extra) + 1;
  }
  return true;
}

bool IsContextName(const std::string& name) {
  if (name.empty()) return false;
  for (char c : name) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    c == '_' || c == '.';
    if (!ok) return false;
  }
  return true;
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Splits one paragraph's Windows-1252 text into runs at its bold marks and jumps.
bool SplitRuns(const std::string& text, HelpParagraph* paragraph, std::string* reason) {
  HelpRun run;
  auto finish = [&] {
    if (!run.text.empty()) paragraph->runs.push_back(run);
    run.text.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "**") == 0) {
      finish();
      run.bold = !run.bold;
      ++i;
    } else if (text[i] == '[') {
      const size_t close = text.find("](", i);
      const size_t end = close == std::string::npos ? close : text.find(')', close);
      if (end == std::string::npos || text.find('[', i + 1) < close) {
        *reason = "a jump is written [text](context)";
        return false;
      }
      HelpRun jump = {text.substr(i + 1, close - i - 1), run.bold,
                      text.substr(close + 2, end - close - 2)};
      if (jump.text.empty() || !IsContextName(jump.jump)) {
        *reason = "a jump needs a text and a context name";
        return false;
      }
      finish();
      paragraph->runs.push_back(jump);
      i = end;
    } else if (text[i] == ']') {
      *reason = "a ']' outside a jump";
      return false;
    } else {
      run.text.push_back(text[i]);
    }
  }
  if (run.bold) {
    *reason = "bold text left open";
    return false;
  }
  finish();
  return true;
}

}  // namespace

std::string Utf8FromWindows1252(const std::string& text) {
  std::string out;
  for (char c : text) {
    unsigned codePoint = static_cast<unsigned char>(c);
    for (const auto& entry : kWindows1252) {
      if (entry.byte == codePoint) {
        codePoint = entry.codePoint;
        break;
      }
    }
    if (codePoint < 0x80) {
      out.push_back(c);
    } else if (codePoint < 0x800) {
      out.push_back(static_cast<char>(0xC0 | codePoint >> 6));
      out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | codePoint >> 12));
      out.push_back(static_cast<char>(0x80 | (codePoint >> 6 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
  }
  return out;
}

bool ReadHelpSource(const std::string& name, const std::string& text, HelpDocument* document,
                    std::string* error) {
  HelpTopic* topic = nullptr;
  HelpBlock kind = HelpBlock::kParagraph;
  std::string pending;  // the paragraph being gathered, still UTF-8
  int line = 0;
  std::string reason;
  auto fail = [&](const std::string& why) {
    *error = name + ":" + std::to_string(line) + ": " + why;
    return false;
  };
  auto flush = [&] {
    if (pending.empty()) return true;
    HelpParagraph paragraph;
    paragraph.kind = kind;
    std::string converted;
    if (!Convert(pending, &converted)) return fail("not UTF-8 of Windows-1252 characters");
    if (!SplitRuns(converted, &paragraph, &reason)) return fail(reason);
    topic->paragraphs.push_back(paragraph);
    pending.clear();
    return true;
  };

  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string current = text.substr(start, end - start);
    start = end + 1;
    ++line;
    if (!current.empty() && current.back() == '\r') current.pop_back();
    if (!current.empty() && current[0] == '#') continue;

    if (current.compare(0, 3, "== ") == 0) {
      if (!flush()) return false;
      const size_t bar = current.find('|');
      if (bar == std::string::npos) return fail("a topic is written == context | Title");
      HelpTopic next;
      next.context = Trim(current.substr(3, bar - 3));
      if (!IsContextName(next.context)) return fail("a context name takes A-Z, a-z, 0-9, _ and .");
      if (!Convert(Trim(current.substr(bar + 1)), &next.title) || next.title.empty()) {
        return fail("a topic needs a title of Windows-1252 characters");
      }
      document->topics.push_back(next);
      topic = &document->topics.back();
    } else if (Trim(current).empty()) {
      if (!flush()) return false;
    } else if (topic == nullptr) {
      return fail("text before the first topic");
    } else if (current.compare(0, 2, "- ") == 0) {
      if (!flush()) return false;
      kind = HelpBlock::kItem;
      pending = Trim(current.substr(2));
    } else {
      if (pending.empty()) kind = HelpBlock::kParagraph;
      pending += (pending.empty() ? "" : " ") + Trim(current);
    }
  }
  return flush();
}

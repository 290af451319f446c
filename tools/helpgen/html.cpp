// html.cpp: writes the help as web pages, one a language, for the systems that no longer ship a
// WinHelp viewer: plain HTML in UTF-8 with its style inline, so that a page is whole on its own.
#include <cstddef>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tools/helpgen/help.h"

namespace {

// Classic and quiet, close to the program's own grey; readable at any window width.
const char kStyle[] =
    "body { font-family: Tahoma, Verdana, sans-serif; font-size: 15px; line-height: 1.45;"
    " color: #000; background: #fff; max-width: 46em; margin: 0 auto; padding: 0.5em 1.5em; }\n"
    "h1 { font-size: 1.6em; border-bottom: 3px solid #808080; padding-bottom: 0.2em; }\n"
    "h2 { font-size: 1.25em; margin-top: 1.8em; border-bottom: 1px solid #c0c0c0; }\n"
    "a { color: #000080; }\n"
    "ul { padding-left: 1.5em; }\n"
    "li { margin: 0.3em 0; }\n";

// Windows-1252 text made safe inside an element or a quoted attribute, in UTF-8. The blank before
// French punctuation (" :", " ;") does not break, so that no line starts with the sign.
std::string Escape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ' ' && i + 1 < text.size() && strchr(":;!?", text[i + 1]) != nullptr) {
      out += "&nbsp;";
      continue;
    }
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out.push_back(c);
    }
  }
  return Utf8FromWindows1252(out);
}

struct Target {
  size_t page;
  bool first;  // the page's first topic: a link to the page itself
};

}  // namespace

bool WriteHelpPages(const std::vector<HelpPage>& pages, std::vector<std::string>* html,
                    std::string* error) {
  std::map<std::string, Target> targets;
  for (size_t p = 0; p < pages.size(); ++p) {
    const std::vector<HelpTopic>& topics = pages[p].document.topics;
    for (size_t t = 0; t < topics.size(); ++t) targets[topics[t].context] = {p, t == 0};
  }
  html->clear();
  for (size_t p = 0; p < pages.size(); ++p) {
    const HelpDocument& document = pages[p].document;
    if (document.topics.empty()) {
      *error = pages[p].file + " has no topic";
      return false;
    }
    std::string out = "<!DOCTYPE html>\n<html lang=\"" + pages[p].language +
                      "\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
                      Escape(document.topics[0].title) + "</title>\n<style>\n" + kStyle +
                      "</style>\n</head>\n<body>\n";
    for (size_t t = 0; t < document.topics.size(); ++t) {
      const HelpTopic& topic = document.topics[t];
      const char* heading = t == 0 ? "h1" : "h2";
      out += std::string("<") + heading + " id=\"" + topic.context + "\">" + Escape(topic.title) +
             "</" + heading + ">\n";
      bool inList = false;
      for (const HelpParagraph& paragraph : topic.paragraphs) {
        const bool item = paragraph.kind == HelpBlock::kItem;
        if (item != inList) out += item ? "<ul>\n" : "</ul>\n";
        inList = item;
        out += item ? "<li>" : "<p>";
        for (const HelpRun& run : paragraph.runs) {
          std::string text = Escape(run.text);
          if (!run.jump.empty()) {
            const auto target = targets.find(run.jump);
            if (target == targets.end()) {
              *error = "a jump to \"" + run.jump + "\", which is no topic of the pages";
              return false;
            }
            const Target& to = target->second;
            std::string href = to.page == p ? "" : pages[to.page].file;
            if (to.page == p || !to.first) href += "#" + run.jump;
            text = "<a href=\"" + href + "\">" + text + "</a>";
          }
          out += run.bold ? "<b>" + text + "</b>" : text;
        }
        out += item ? "</li>\n" : "</p>\n";
      }
      if (inList) out += "</ul>\n";
    }
    out += "</body>\n</html>\n";
    html->push_back(out);
  }
  return true;
}

// text.cpp: the portable helpers: path extensions, blank trimming and the open-or-fail call.
#include "support/support.h"

#include <cstring>

const char kOpenErrorPrefix[] = "Erreur \xE0 l'ouverture du fichier : ";

char* AppendChar(char* text, size_t capacity, char c) {
  // A text not terminated inside its buffer is left alone: there is no safe place to write.
  const void* end = memchr(text, 0, capacity);
  if (end == nullptr) return text;
  size_t length = static_cast<size_t>(static_cast<const char*>(end) - text);
  if (length + 1 < capacity) {
    text[length] = c;
    text[length + 1] = 0;
  }
  return text;
}

char* ReplaceExtension(char* path, size_t capacity, const char* extension) {
  if (capacity == 0 || memchr(path, 0, capacity) == nullptr) return path;
  size_t length = strlen(path);
  char* dot = strrchr(path, '.');
  // The last dot anywhere is the extension's dot when at most 3 characters follow it.
  if (dot != nullptr && length - static_cast<size_t>(dot - path) <= 4) {
    dot[1] = 0;
  } else {
    AppendChar(path, capacity, '.');
  }

  char work[4] = {0, 0, 0, 0};
  for (int i = 0; i < 3 && extension[i] != 0; ++i) {
    char c = extension[i];
    work[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  for (int i = 0; work[i] != 0; ++i) AppendChar(path, capacity, work[i]);
  return path;
}

int TrimLeadingBlanks(char* text) {
  size_t blanks = 0;
  while (text[blanks] == ' ') ++blanks;
  if (blanks == 0) return 0;
  memmove(text, text + blanks, strlen(text + blanks) + 1);
  return 1;
}

void TrimTrailingBlanks(char* text) {
  size_t length = strlen(text);
  while (length > 0 && text[length - 1] == ' ') --length;
  text[length] = 0;
}

void ComposeOpenError(char (&message)[kFatalMessageSize], const char* path) {
  // snprintf cuts an over-long path and always terminates.
  snprintf(message, sizeof message, "%s%s", kOpenErrorPrefix, path);
}

void ReportOpenError(const char* path) {
  char message[kFatalMessageSize];
  ComposeOpenError(message, path);
  FatalError(message);
}

FILE* OpenFileOrDie(const char* path, const char* mode) {
  FILE* stream = fopen(path, mode);
  if (stream == nullptr) ReportOpenError(path);
  return stream;
}

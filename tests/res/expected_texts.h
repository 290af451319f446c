// expected_texts.h: the program's texts as the players read them, written out again (in UTF-8)
// to check the string table and the resources against.
#pragma once

#include <string>

struct ExpectedText {
  int id;               // French id
  const char* french;   // UTF-8, or null: no French text
  const char* english;  // UTF-8, or null: no English text at id + 1000
};

extern const ExpectedText kExpectedTexts[];
extern const int kExpectedTextCount;

// The expected pair for a French id, or null for an id the program does not use.
const ExpectedText* FindExpectedText(int id);

// UTF-8 to Windows-1252 for the Latin-1 letters the texts use; anything else fails the
// conversion (returns false) so that a typo in the expectations cannot pass unnoticed.
bool Utf8ToCp1252(const char* utf8, std::string* cp1252);

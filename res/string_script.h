// string_script.h: writes the string table as a resource-script STRINGTABLE fragment.
#pragma once

#include <cstdio>

// One text as a quoted resource-script string: '"' doubled, backslash, line feed and tab as
// \\, \n and \t, every other control or non-ASCII byte as a three-digit octal escape (read
// back through the fragment's code page 1252).
void WriteScriptString(FILE* out, const char* text);

// The whole fragment: a code page pragma and one STRINGTABLE with every id that has a text.
// Returns 0, or -1 when the output could not be written.
int WriteStringTableScript(FILE* out);

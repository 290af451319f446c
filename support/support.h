// support.h: the small text and file helpers of the program. One header, two file layers
// (Win32 in the program, POSIX on the host) chosen by the build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// capacity is the size of the buffer that holds path (or text): nothing is written past it.
char* ReplaceExtension(char* path, size_t capacity, const char* extension);
char* AppendChar(char* text, size_t capacity, char c);
int32_t FileStamp(const char* path);
FILE* OpenFileOrDie(const char* path, const char* mode);
[[noreturn]] void ReportOpenError(const char* path);
[[noreturn]] void FatalError(const char* message);
int TrimLeadingBlanks(char* text);
void TrimTrailingBlanks(char* text);

// The window that owns the fatal message box: the program's main window, or null before it
// exists and after it is destroyed. Provided by the program (ui/), used by the Win32 layer.
void* FatalErrorOwner();

// support.h: the small text and file helpers of the program. One header, two file layers
// (Win32 in the program, POSIX on the host) chosen by the build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Any path the platform can give the program (the longest a Win32 path can be), plus room for a
// new extension: the size of the program's path buffers.
constexpr size_t kPathCapacity = 32768 + 8;

// capacity is the size of the buffer that holds path (or text): nothing is written past it.
// When the new extension does not fit, as much of it as fits is appended.
char* ReplaceExtension(char* path, size_t capacity, const char* extension);
char* AppendChar(char* text, size_t capacity, char c);

// Last-write stamp of a plain file in FAT date/time form (date word high), -1 for a zero
// stamp, 0 when there is no such plain file (directories and hidden entries do not count).
int32_t FileStamp(const char* path);
FILE* OpenFileOrDie(const char* path, const char* mode);
[[noreturn]] void ReportOpenError(const char* path);
[[noreturn]] void FatalError(const char* message);
int TrimLeadingBlanks(char* text);
void TrimTrailingBlanks(char* text);

// The fatal open message: the French prefix (CP1252 bytes) then the path, cut at 255
// characters. Keeps the composition testable without ending the process.
constexpr size_t kFatalMessageSize = 256;
extern const char kOpenErrorPrefix[];
void ComposeOpenError(char (&message)[kFatalMessageSize], const char* path);

// Safe replacement of a file: write a new file beside it, make it reach the disk and close it
// (CommitAndClose, 1 on success; the stream is closed either way), then put it in the old
// one's place in one step (ReplaceFileWith, 1 on success). Until that step the old file stays
// whole, so a failed save never loses it.
int CommitAndClose(FILE* stream);
int ReplaceFileWith(const char* source, const char* target);
// Cuts the file of an open stream to length bytes, its buffered writes flushed first so that
// none lands past the cut; 1 on success.
int CutFile(FILE* stream, long length);

// The window that owns the fatal message box: the program's main window, or null before it
// exists and after it is destroyed. Provided by the program (ui/), used by the Win32 layer.
void* FatalErrorOwner();

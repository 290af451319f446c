// pe_resources.h: a small reader of the resource directory of a 32-bit Windows executable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One leaf of the resource tree. A named type or name has its ordinal 0 and its name set.
struct PeResource {
  uint16_t type = 0;
  std::string type_name;
  uint16_t id = 0;
  std::string name;
  uint16_t language = 0;
  std::vector<uint8_t> data;
};

bool ReadWholeFile(const char* path, std::vector<uint8_t>* bytes);

// Every resource of the image in `file`, in directory order. On a malformed or truncated
// image returns false with the reason in `error`.
bool ReadPeResources(const std::vector<uint8_t>& file, std::vector<PeResource>* resources,
                     std::string* error);

// Little-endian reads from resource data; past the end they give 0 and set `overrun`.
struct ByteReader {
  const std::vector<uint8_t>& bytes;
  size_t position = 0;
  bool overrun = false;

  explicit ByteReader(const std::vector<uint8_t>& data) : bytes(data) {}
  uint8_t U8();
  uint16_t U16();
  uint32_t U32();
  // A zero-terminated UTF-16 string; only code units below 0x100 are expected, others come
  // back as '?'.
  std::string Utf16z();
  void AlignTo4() { position = (position + 3) & ~static_cast<size_t>(3); }
};

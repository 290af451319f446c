// pe_resources.cpp: walks a PE32 image's resource directory, checking every offset it reads.
#include "tests/res/pe_resources.h"

#include <cstdio>

namespace {

bool Get16(const std::vector<uint8_t>& b, size_t at, uint16_t* value) {
  if (at > b.size() || b.size() - at < 2) return false;
  *value = static_cast<uint16_t>(b[at] | b[at + 1] << 8);
  return true;
}

bool Get32(const std::vector<uint8_t>& b, size_t at, uint32_t* value) {
  if (at > b.size() || b.size() - at < 4) return false;
  *value = static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
  return true;
}

struct Section {
  uint32_t address;
  uint32_t raw_size;
  uint32_t raw_offset;
};

struct Image {
  const std::vector<uint8_t>& file;
  std::vector<Section> sections;
  uint32_t root_rva = 0;
  std::string* error;

  // The file offset of `length` bytes at `rva`, all inside one section's raw data.
  bool Locate(uint32_t rva, uint32_t length, size_t* offset) const {
    for (const Section& s : sections) {
      if (rva < s.address) continue;
      uint64_t inside = static_cast<uint64_t>(rva) - s.address;
      if (inside + length > s.raw_size) continue;
      uint64_t at = s.raw_offset + inside;
      if (at + length > file.size()) return false;
      *offset = static_cast<size_t>(at);
      return true;
    }
    return false;
  }

  bool Fail(const char* what) const {
    *error = what;
    return false;
  }

  // A directory entry's name: an ordinal, or a counted UTF-16 string inside the directory.
  bool Name(uint32_t field, uint16_t* ordinal, std::string* name) const {
    if ((field & 0x80000000u) == 0) {
      if (field > 0xFFFF) return Fail("resource ordinal out of range");
      *ordinal = static_cast<uint16_t>(field);
      return true;
    }
    size_t at = 0;
    uint16_t length = 0;
    if (!Locate(root_rva + (field & 0x7FFFFFFFu), 2, &at) || !Get16(file, at, &length))
      return Fail("resource name outside the image");
    if (!Locate(root_rva + (field & 0x7FFFFFFFu), 2u + 2u * length, &at))
      return Fail("resource name outside the image");
    *ordinal = 0;
    name->clear();
    for (uint16_t i = 0; i < length; ++i) {
      uint16_t unit = 0;
      Get16(file, at + 2 + 2 * i, &unit);
      name->push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    }
    return true;
  }

  bool Walk(uint32_t directory, int level, PeResource* path,
            std::vector<PeResource>* resources) const {
    size_t at = 0;
    if (!Locate(root_rva + directory, 16, &at)) return Fail("resource directory outside the image");
    uint16_t named = 0, numbered = 0;
    Get16(file, at + 12, &named);
    Get16(file, at + 14, &numbered);
    uint32_t count = static_cast<uint32_t>(named) + numbered;
    if (!Locate(root_rva + directory + 16, count * 8, &at))
      return Fail("resource entries outside the image");
    for (uint32_t i = 0; i < count; ++i) {
      uint32_t name_field = 0, target = 0;
      Get32(file, at + 8 * i, &name_field);
      Get32(file, at + 8 * i + 4, &target);
      bool is_directory = (target & 0x80000000u) != 0;
      if (is_directory != (level < 2)) return Fail("resource tree is not three levels deep");
      if (level == 0) {
        if (!Name(name_field, &path->type, &path->type_name)) return false;
      } else if (level == 1) {
        if (!Name(name_field, &path->id, &path->name)) return false;
      } else {
        std::string ignored;
        if (!Name(name_field, &path->language, &ignored)) return false;
      }
      if (is_directory) {
        if (!Walk(target & 0x7FFFFFFFu, level + 1, path, resources)) return false;
        continue;
      }
      size_t entry = 0;
      uint32_t data_rva = 0, size = 0;
      if (!Locate(root_rva + target, 16, &entry))
        return Fail("resource data entry outside the image");
      Get32(file, entry, &data_rva);
      Get32(file, entry + 4, &size);
      size_t data = 0;
      if (!Locate(data_rva, size, &data)) return Fail("resource data outside the image");
      PeResource leaf = *path;
      leaf.data.assign(file.begin() + static_cast<std::ptrdiff_t>(data),
                       file.begin() + static_cast<std::ptrdiff_t>(data + size));
      resources->push_back(leaf);
    }
    return true;
  }
};

}  // namespace

bool ReadWholeFile(const char* path, std::vector<uint8_t>* bytes) {
  FILE* file = fopen(path, "rb");
  if (file == nullptr) return false;
  bytes->clear();
  uint8_t chunk[4096];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
    bytes->insert(bytes->end(), chunk, chunk + got);
  bool ok = ferror(file) == 0;
  fclose(file);
  return ok;
}

bool ReadPeResources(const std::vector<uint8_t>& file, std::vector<PeResource>* resources,
                     std::string* error) {
  resources->clear();
  Image image{file, {}, 0, error};
  uint32_t pe = 0;
  if (file.size() < 64 || file[0] != 'M' || file[1] != 'Z' || !Get32(file, 0x3C, &pe))
    return image.Fail("not an MZ executable");
  uint32_t signature = 0;
  if (!Get32(file, pe, &signature) || signature != 0x00004550u)
    return image.Fail("no PE signature");
  uint16_t section_count = 0, optional_size = 0, magic = 0;
  if (!Get16(file, pe + 6, &section_count) || !Get16(file, pe + 20, &optional_size) ||
      !Get16(file, pe + 24, &magic))
    return image.Fail("truncated file header");
  if (magic != 0x10B) return image.Fail("not a PE32 (32-bit) image");
  uint32_t directories = 0, resource_size = 0;
  if (!Get32(file, pe + 24 + 92, &directories) || directories < 3 ||
      !Get32(file, pe + 24 + 96 + 16, &image.root_rva) ||
      !Get32(file, pe + 24 + 96 + 20, &resource_size))
    return image.Fail("no resource directory entry");
  if (image.root_rva == 0 || resource_size == 0) return image.Fail("the image has no resources");
  size_t table = static_cast<size_t>(pe) + 24 + optional_size;
  for (uint16_t i = 0; i < section_count; ++i) {
    Section s{};
    size_t at = table + 40u * i;
    if (!Get32(file, at + 12, &s.address) || !Get32(file, at + 16, &s.raw_size) ||
        !Get32(file, at + 20, &s.raw_offset))
      return image.Fail("truncated section table");
    image.sections.push_back(s);
  }
  PeResource path;
  return image.Walk(0, 0, &path, resources);
}

uint8_t ByteReader::U8() {
  if (position >= bytes.size()) {
    overrun = true;
    return 0;
  }
  return bytes[position++];
}

uint16_t ByteReader::U16() {
  uint16_t low = U8();
  return static_cast<uint16_t>(low | U8() << 8);
}

uint32_t ByteReader::U32() {
  uint32_t low = U16();
  return low | static_cast<uint32_t>(U16()) << 16;
}

std::string ByteReader::Utf16z() {
  std::string text;
  for (uint16_t unit; (unit = U16()) != 0 && !overrun;)
    text.push_back(unit < 0x100 ? static_cast<char>(unit) : '?');
  return text;
}

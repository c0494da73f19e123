#pragma once
// Record types shared by the resource formats and the open-archive tables.

#include <cstdint>
#include <string>
#include <vector>

namespace pw {

// The type an entry is classified as (a one-byte enumeration; FileTypeNames gives the display names).
enum TFileType : uint8_t {
  ftUnknown = 0,    // magic not recognised and no text found
  ftUnkMagic = 1,   // one of the recognised magics of formats that are listed but not opened
  ftBlockData = 2,  // block-data container of text blocks
  ftText = 3,       // a single text block
  ftTextGroup = 4,  // text group
  ftTexture = 5,    // texture group
};

// Display names of TFileType, indexed by value.
inline constexpr const char* FileTypeNames[] = {"Unknown", "With ASCI magic", "Block Data",
                                                "Text",    "Text Goup",       "Texture"};

// A text table: one string per record of a text block, in record order.
using TTextTable = std::vector<std::u16string>;
// A list of text tables (the program's TextDataList, or a private list).
using TTextDataList = std::vector<TTextTable>;

// One texture of a texture group, as listed when the archive is opened.
struct TTexData {
  uint32_t Offset = 0;  // the texture's start as a group offset
  uint32_t Format = 0;  // the format code byte
  uint32_t Width = 0;   // 2^Ew
  uint32_t Height = 0;  // 2^Eh
};
using TTexDataList = std::vector<TTexData>;

// The display name of a texture format code ("Unknown" for codes that cannot be converted).
const char* TextureFormatName(uint32_t code);

// The smallest multiple of alignment at or above value (alignment 0 or 1: value itself).
inline uint64_t AlignUp(uint64_t value, uint64_t alignment) {
  return alignment > 1 ? (value + alignment - 1) / alignment * alignment : value;
}

}  // namespace pw

#pragma once
// The text block: a count, a table of string locators and zero-terminated UTF-8 strings.

#include <cstdint>
#include <string>

#include "formats/Types.h"
#include "platform/Stream.h"

namespace pw {

// One string locator of a text block (on-disk layout).
struct TBlockInfo {
  uint32_t Offset;  // from the block's first byte
  uint32_t Size;    // UTF-8 length + 1 (the terminator)
};
static_assert(sizeof(TBlockInfo) == 8);

// Reads the text block at the stream's position into strings. size is the block's length (0: the whole
// stream's length); alignment 16 rounds the last record's end up before comparing. True when accepted;
// a string that is not well-formed UTF-8 rejects the block and leaves strings empty. Never throws.
bool ReadTextBlock(TTextTable& strings, TStream& stream, uint32_t size, uint8_t alignment);

// Writes a text block of strings at the stream's position, with rows of the CSV file csvPath (when it
// names an existing file) replacing strings by index; returns the block's length, the stream is left at
// its end. File errors of the CSV file propagate.
int64_t WriteTextBlock(const TTextTable& strings, TStream& stream, const std::string& csvPath);

}  // namespace pw

#pragma once
// Text groups and block-data containers: several text blocks behind a table, recognised by probing.

#include <cstdint>
#include <string>
#include <vector>

#include "formats/Types.h"
#include "platform/Stream.h"

namespace pw {

// Probes the payload at the stream's position (size bytes; 0: the stream's length) as a text block, a
// block-data container or a text group, in that order; appends the tables found to tables and names the
// layout. ftUnknown leaves tables as they were. Never throws.
TFileType ReadTextResources(TStream& stream, TTextDataList& tables, uint32_t size);

// False when a payload of size bytes (size 0 is not allowed here) whose first bytes are head can hold no
// text: its count is 0 or its table would not fit. ReadTextResources then gives ftUnknown without reading
// further, so a caller can skip decompressing the rest. True when head is too short to tell.
bool MayHoldText(const uint8_t* head, size_t headSize, uint32_t size);

// Writes a text group of count members into the empty stream, member i built from tables[first + i] with
// the CSV file paths[i] (a missing element or "" means none).
void WriteTextGroup(const TTextDataList& tables, int32_t first, uint32_t count,
                    const std::vector<std::string>& paths, TStream& stream);

// Rebuilds the block-data container held in plain (the entry's plain payload) into the empty stream,
// member i written anew from the CSV file paths[i] when it names an existing file and the member read as
// a non-empty text table, else copied unchanged. Writes nothing when plain no longer probes as block data.
void WriteBlockData(TMemoryStream& plain, TStream& stream, const std::vector<std::string>& paths);

}  // namespace pw

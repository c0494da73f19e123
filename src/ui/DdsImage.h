#pragma once
// Decoding of the DDS files the exporter writes (top level of ARGB8888, DXT1 or DXT5) into a 32-bit image.

#include <QImage>
#include <cstdint>
#include <vector>

namespace pw {

// Decodes the top level of a DDS file into an ARGB32 image, upright and in true colours (alpha kept).
// Throws pw::Error for a file that is not one of the three formats or is too short for its top level.
QImage DecodeDdsTopLevel(const std::vector<uint8_t>& dds);

}  // namespace pw

#pragma once
// The CLI's selections of rows: --filter KINDS, --check SEL and --replace SEL=FILE.

#include <optional>
#include <string>

#include "archive/DataListRows.h"

namespace pw {

// Parses a comma list of "text", "textures", "blockdata"; none when a word is unknown.
std::optional<TViewFilter> ParseFilter(const std::string& kinds);

// Checks the rows named by a comma list of N, N-K, N_M, N_* or * (Check All under filter).
// Throws Error for a malformed item or a number that names no row.
void ApplyCheckSelection(TDataList& list, const std::string& selection, const TViewFilter& filter);

// Sets the replacement path of entry "N" or resource "N_M"; throws Error when it names no row.
void ApplyReplacement(TDataList& list, const std::string& target, const std::string& path);

}  // namespace pw

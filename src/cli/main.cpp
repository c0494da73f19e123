// packwright-cli: lists, unpacks and repacks an archive with the same core as the window.

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "archive/DataListRows.h"
#include "archive/DefaultFolder.h"
#include "archive/Repacker.h"
#include "archive/Unpacker.h"
#include "cli/Selection.h"
#include "cli/TerminalProgress.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"

namespace pw {
namespace {

const char* const kUsage =
    "Usage:\n"
    "  packwright-cli list ARCHIVE [--filter KINDS] [--scan] [--find-entries]\n"
    "  packwright-cli unpack ARCHIVE [DIR] [--check SEL]... [--filter KINDS] [--no-ext]\n"
    "                 [--no-extract-res] [--no-only-res] [--replace-existing]\n"
    "  packwright-cli repack ARCHIVE TARGET [--no-scan] [--find-entries] [--replace SEL=FILE]...\n"
    "  packwright-cli --help | --version\n"
    "\n"
    "KINDS is a comma list of text, textures, blockdata (the View filter).\n"
    "SEL is a comma list of N (entry N), N-K (entries N to K), N_M (resource M of entry N),\n"
    "N_* (every resource of entry N) or * (every row the filter shows).\n"
    "Without DIR, unpack writes into the archive's default folder (ARCHIVE with its extension\n"
    "turned into _ext), which repack scans for replacement files named N.* and N_M.*.\n";

// Wrong usage: exit code 2 with the usage text.
struct TUsageError {
  std::string Message;
};

class TArgs {
 public:
  TArgs(int argc, char** argv) : FArgs(argv + 2, argv + argc) {}
  // Removes a flag; true when it was given.
  bool Flag(const std::string& name) {
    for (size_t i = 0; i < FArgs.size(); ++i)
      if (FArgs[i] == name) {
        FArgs.erase(FArgs.begin() + static_cast<long>(i));
        return true;
      }
    return false;
  }
  // Removes every "name VALUE" pair; returns the values.
  std::vector<std::string> Values(const std::string& name) {
    std::vector<std::string> values;
    for (size_t i = 0; i < FArgs.size();) {
      if (FArgs[i] != name) {
        ++i;
        continue;
      }
      if (i + 1 >= FArgs.size()) throw TUsageError{name + " needs a value"};
      values.push_back(FArgs[i + 1]);
      FArgs.erase(FArgs.begin() + static_cast<long>(i), FArgs.begin() + static_cast<long>(i) + 2);
    }
    return values;
  }
  // The remaining words, which must be positional and between min and max in number.
  std::vector<std::string> Positional(size_t min, size_t max) {
    for (const std::string& a : FArgs)
      if (a.size() > 1 && a[0] == '-') throw TUsageError{"unknown option " + a};
    if (FArgs.size() < min || FArgs.size() > max) throw TUsageError{"wrong number of arguments"};
    return FArgs;
  }

 private:
  std::vector<std::string> FArgs;
};

TViewFilter FilterOf(TArgs& args) {
  std::vector<std::string> kinds = args.Values("--filter");
  TViewFilter filter;
  for (const std::string& k : kinds) {
    std::optional<TViewFilter> parsed = ParseFilter(k);
    if (!parsed) throw TUsageError{"unknown kind in --filter " + k};
    filter.Text |= parsed->Text, filter.Textures |= parsed->Textures, filter.BlockData |= parsed->BlockData;
  }
  return filter;
}

// Opens the archive as the window does; false (after the message) when it has no entries or is missing.
bool OpenArchive(TDataList& list, const std::string& path, TProgress& progress) {
  int count = CreateDataList(list, path, progress);
  if (count == -5) {
    std::cerr << "File not found!\n";
    return false;
  }
  if (count == 0) {
    std::cerr << "Data not found!\n";
    return false;
  }
  return true;
}

void PrintRow(char marker, const std::vector<std::string>& cells) {
  std::string line(1, marker);
  for (const std::string& c : cells) line += "\t" + c;
  line += "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
}

int List(TArgs& args, TProgress& progress) {
  const TViewFilter filter = FilterOf(args);
  const bool scan = args.Flag("--scan");
  const bool findEntries = args.Flag("--find-entries");
  const std::string archive = args.Positional(1, 1)[0];
  TDataList list;
  if (!OpenArchive(list, archive, progress)) return 1;
  if (scan) ScanDefaultFolder(list, DefaultFolderOf(archive), !findEntries, progress);
  for (size_t i = 0; i < list.FileInfoList.size(); ++i) {
    const TFileInfo& entry = list.FileInfoList[i];
    if (!filter.ShowsEntry(entry.FileType)) continue;
    std::vector<std::string> cells(kDataColumnCount);
    for (int c = 0; c < kDataColumnCount; ++c) cells[c] = EntryCellText(list, i, c);
    PrintRow('E', cells);
    if (ResourceRowCount(list, entry) == 0) continue;
    for (size_t j = 0; j < entry.ResInfo.size(); ++j) {
      if (!ShowsResourceRow(list, entry, j)) continue;
      for (int c = 0; c < kDataColumnCount; ++c) cells[c] = ResourceCellText(list, i, j, c);
      PrintRow('R', cells);
    }
  }
  return 0;
}

int UnpackCommand(TArgs& args, TProgress& progress) {
  const TViewFilter filter = FilterOf(args);
  const std::vector<std::string> checks = args.Values("--check");
  TUnpackOptions options;
  options.WithExt = !args.Flag("--no-ext");
  options.ExtractRes = !args.Flag("--no-extract-res");
  options.OnlyRes = !args.Flag("--no-only-res");
  options.ReplaceExisting = args.Flag("--replace-existing");
  const std::vector<std::string> words = args.Positional(1, 2);
  const std::string& archive = words[0];
  TDataList list;
  if (!OpenArchive(list, archive, progress)) return 1;
  for (const std::string& sel : checks) ApplyCheckSelection(list, sel, filter);
  std::string dir;
  if (words.size() == 2) {
    dir = words[1];
    if (!DirectoryExists(dir)) throw Error("Folder \"" + dir + "\" does not exist");
  } else {
    dir = DefaultFolderOf(archive);
    if (!ForceDirectories(dir)) throw Error("Unable to create directory");
  }
  Unpack(list, archive, dir, options, progress);
  return 0;
}

int RepackCommand(TArgs& args, TProgress& progress) {
  const bool noScan = args.Flag("--no-scan");
  const bool findEntries = args.Flag("--find-entries");
  const std::vector<std::string> replacements = args.Values("--replace");
  const std::vector<std::string> words = args.Positional(2, 2);
  for (const std::string& r : replacements)
    if (r.find('=') == std::string::npos) throw TUsageError{"--replace needs SEL=FILE"};
  TDataList list;
  if (!OpenArchive(list, words[0], progress)) return 1;
  if (!noScan) ScanDefaultFolder(list, DefaultFolderOf(words[0]), !findEntries, progress);
  for (const std::string& r : replacements) {
    const size_t eq = r.find('=');
    ApplyReplacement(list, r.substr(0, eq), r.substr(eq + 1));
  }
  Repack(list, words[0], words[1], progress);
  return 0;
}

int Run(int argc, char** argv) {
  if (argc < 2) throw TUsageError{"no command given"};
  const std::string command = argv[1];
  if (command == "--help" || command == "-h") {
    std::cout << kUsage;
    return 0;
  }
  if (command == "--version") {
    std::cout << "packwright-cli " << PW_VERSION << "\n";
    return 0;
  }
  TArgs args(argc, argv);
  TTerminalProgress progress(::isatty(STDERR_FILENO) != 0);
  if (command == "list") return List(args, progress);
  if (command == "unpack") return UnpackCommand(args, progress);
  if (command == "repack") return RepackCommand(args, progress);
  throw TUsageError{"unknown command " + command};
}

}  // namespace
}  // namespace pw

int main(int argc, char** argv) {
  try {
    return pw::Run(argc, argv);
  } catch (const pw::TUsageError& e) {
    std::cerr << "packwright-cli: " << e.Message << "\n\n" << pw::kUsage;
    return 2;
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
}

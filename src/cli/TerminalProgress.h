#pragma once
// The CLI's progress display: the phase caption and a bar on stderr, only when stderr is a terminal.

#include "archive/Progress.h"

namespace pw {

class TTerminalProgress : public TProgress {
 public:
  // Draws only when enabled (stderr is a terminal).
  explicit TTerminalProgress(bool enabled) : FEnabled(enabled) {}
  void ProcessingWork(const std::string& caption, uint32_t stepCount) override;
  void StepIt() override;

 private:
  void Draw(bool force);

  bool FEnabled;
  std::string FCaption;
  uint32_t FSteps = 0;
  uint32_t FPosition = 0;
  int FLastPercent = -1;
};

}  // namespace pw

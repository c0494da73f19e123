#include "cli/TerminalProgress.h"

#include <cstdio>

namespace pw {

void TTerminalProgress::ProcessingWork(const std::string& caption, uint32_t stepCount) {
  if (!FEnabled) return;
  if (stepCount == 0) {
    if (FSteps != 0) std::fputs("\r\033[K", stderr);
    FSteps = 0;
    return;
  }
  FCaption = caption;
  FSteps = stepCount;
  FPosition = 0;
  FLastPercent = -1;
  Draw(true);
}

void TTerminalProgress::StepIt() {
  if (!FEnabled || FSteps == 0) return;
  if (FPosition < FSteps) ++FPosition;
  Draw(false);
}

void TTerminalProgress::Draw(bool force) {
  const int percent = static_cast<int>(100.0 * FPosition / FSteps);
  if (!force && percent == FLastPercent) return;  // redraw only when the figure changes
  FLastPercent = percent;
  constexpr int kWidth = 30;
  const int filled = percent * kWidth / 100;
  std::fprintf(stderr, "\r%s [%.*s%*s] %3d%%", FCaption.c_str(), filled, "##############################",
               kWidth - filled, "", percent);
  std::fflush(stderr);
}

}  // namespace pw

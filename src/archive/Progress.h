#pragma once
// The progress display the core reports to: a phase caption with a step count, and one-step advances.

#include <cstdint>
#include <string>

namespace pw {

// Implemented by the window (caption and progress bar) and the CLI (terminal bar).
class TProgress {
 public:
  virtual ~TProgress() = default;
  // Starts a phase: shows caption, and a bar of stepCount steps when stepCount is not 0 (0 ends a phase).
  virtual void ProcessingWork(const std::string& caption, uint32_t stepCount) = 0;
  // Advances the bar by one step.
  virtual void StepIt() = 0;
};

// A progress display that shows nothing.
class TNullProgress : public TProgress {
 public:
  void ProcessingWork(const std::string&, uint32_t) override {}
  void StepIt() override {}
};

// Starts a phase and ends it with endCaption on every way out, errors included.
class TProgressPhase {
 public:
  TProgressPhase(TProgress& progress, const std::string& caption, uint32_t steps, std::string endCaption)
      : FProgress(progress), FEndCaption(std::move(endCaption)) {
    FProgress.ProcessingWork(caption, steps);
  }
  ~TProgressPhase() { FProgress.ProcessingWork(FEndCaption, 0); }
  TProgressPhase(const TProgressPhase&) = delete;
  TProgressPhase& operator=(const TProgressPhase&) = delete;

 private:
  TProgress& FProgress;
  std::string FEndCaption;
};

}  // namespace pw

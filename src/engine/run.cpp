#include "engine/run.h"

#include "engine/formats.h"
#include "platform/platform.h"

void ResetEngine(ConversionRun& run) {
  const int32_t keptWidth = run.outputWidth;
  const int32_t keptHeight = run.outputHeight;
  const std::string runMode = run.runMode;  // the run mode lasts for the process
  run = ConversionRun{};
  run.runMode = runMode;
  run.outputWidth = keptWidth;
  run.outputHeight = keptHeight;
  run.randomToken = platform::RandomInt(1, 99999);
  run.sequenceNumber = 1;
  BuildAcceptedExtensions();
}

ConversionRun& GlobalRun() {
  static ConversionRun run;
  return run;
}

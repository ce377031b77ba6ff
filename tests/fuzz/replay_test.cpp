// Inputs that once crashed, hung or leaked in a fuzz run (tests/data/fuzz-regressions/
// NAME/) and the committed seeds (fuzz/corpus/NAME/) replay cleanly through the
// entry point of fuzz target NAME: the same code the fuzzer ran, built here as
// fuzz/fuzz_NAME_replay without libFuzzer, under this build's sanitizers.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/process.h"

using namespace testing_support;

namespace {

std::vector<fs::path> Entries(const fs::path& folder) {
  std::vector<fs::path> entries;
  if (fs::is_directory(folder))
    for (const auto& e : fs::directory_iterator(folder)) entries.push_back(e.path());
  std::sort(entries.begin(), entries.end());
  return entries;
}

std::string ReplayBinary(const std::string& target) {
  return std::string(VELMORA_FUZZ_REPLAY_DIR) + "/fuzz_" + target + "_replay";
}

// Replays one input, in a process of its own so that a crash or a hang names the file.
void ExpectCleanReplay(const std::string& target, const fs::path& input) {
  Process replay({ReplayBinary(target), input.string()});
  const bool ended = replay.Wait(120);
  EXPECT_TRUE(ended) << target << ": " << input << " still runs after 120 s";
  if (!ended) return;
  EXPECT_EQ(replay.exitCode(), 0) << target << ": " << input << " ended with signal " << replay.signal() << "\n"
                                  << replay.output() << replay.errors();
}

TEST(FuzzReplay, SavedRegressionsReplayCleanly) {
  for (const fs::path& folder : Entries(fs::path(VELMORA_TEST_DATA) / "fuzz-regressions")) {
    const std::string target = folder.filename().string();
    ASSERT_TRUE(fs::exists(ReplayBinary(target))) << "no fuzz target fuzz/fuzz_" << target << ".cpp for " << folder;
    for (const fs::path& input : Entries(folder)) ExpectCleanReplay(target, input);
  }
}

TEST(FuzzReplay, EveryTargetRunsItsSeeds) {
  int targets = 0;
  for (const fs::path& source : Entries(VELMORA_FUZZ_SOURCE)) {
    const std::string file = source.filename().string();
    if (file.rfind("fuzz_", 0) != 0 || source.extension() != ".cpp") continue;
    const std::string target = file.substr(5, file.size() - 9);
    ++targets;
    ASSERT_TRUE(fs::exists(ReplayBinary(target))) << "fuzz/" << file << " has no replay build";
    for (const fs::path& input : Entries(fs::path(VELMORA_FUZZ_SOURCE) / "corpus" / target))
      ExpectCleanReplay(target, input);
  }
  EXPECT_GE(targets, 2);
}

}  // namespace

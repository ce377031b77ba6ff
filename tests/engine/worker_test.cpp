#include <gtest/gtest.h>

#include "engine/formats.h"
#include "engine/worker.h"
#include "support/support.h"

using namespace testing_support;

namespace {

struct Worker : ::testing::Test {
  TempDir dir;
  ConversionSettings s{};
  ConversionRun run;
  ConversionProgress progress;
  void SetUp() override {
    ResetSettings(s, true);
    ResetEngine(run);
    run.outputFolder = dir.path() + "/";
    run.outputExtension = "jpg";
    run.outputFormatId = FIF_JPEG;
    run.autoDepth = true;
    run.saveFlags = 90;
  }
  void Add(const std::string& path) { run.inputFiles[path].present = 1; }
};

TEST_F(Worker, EmptySetAndStopBeforeTheFirstFile) {
  ConversionWorker(run, s, progress, false);
  EXPECT_EQ(progress.convertedCount, 0);
  Add(WriteTga(dir / "a.tga", 4, 4));
  progress.keepRunning = false;
  ConversionWorker(run, s, progress, false);
  EXPECT_EQ(progress.currentIndex, 0);
  EXPECT_EQ(progress.convertedCount, 0);
}

TEST_F(Worker, CountersAdvanceOnlyOnSuccess) {
  WriteFile(dir / "bad.tga", "not a targa file at all");
  Add(dir / "bad.tga");
  Add(WriteTga(dir / "good.tga", 4, 4));
  s.filenameMask = "%filename%_%n%.%ext%";
  ConversionWorker(run, s, progress, false);
  EXPECT_EQ(progress.convertedCount, 1);
  EXPECT_EQ(progress.currentIndex, 2);
  EXPECT_EQ(progress.currentFile, dir / "good.tga");
  // The failed file came first and left the sequence at 1 for the good one.
  EXPECT_TRUE(fs::exists(dir / "good_00001.jpg"));
  EXPECT_EQ(run.sequenceNumber, 2);
}

TEST_F(Worker, ResetKeepsTheLastOutputSize) {
  run.outputWidth = 640;
  run.outputHeight = 480;
  run.inputPath = "x";
  ResetEngine(run);
  EXPECT_EQ(run.outputWidth, 640);
  EXPECT_EQ(run.inputPath, "");
  EXPECT_EQ(run.sequenceNumber, 1);
  EXPECT_GE(run.randomToken, 1);
  EXPECT_LE(run.randomToken, 99999);
}

}  // namespace

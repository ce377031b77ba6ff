// The command line as a user meets it: the real binary, real files, its printed
// lines, exit codes and the JPEG it writes.
#include <sys/file.h>
#include <sys/stat.h>
#include <fcntl.h>

#include <set>

#include "support/support.h"

using namespace testing_support;

namespace {

const std::vector<std::string> kBanner = {
    "Varnello TGA to JPG 2.8", "(c) 2008-2026 Varnello Software. All rights reserved.",
    "http://www.varnello.example", " "};

std::vector<std::string> WithBanner(std::vector<std::string> lines) {
  lines.insert(lines.begin(), kBanner.begin(), kBanner.end());
  return lines;
}

class Cli : public ::testing::Test {
 protected:
  TempDir dir, runtime;
  std::string in = WriteTga(dir / "photo.tga", 40, 30);
  std::string out = dir / "out";
  void SetUp() override { fs::create_directory(out); }
  RunResult Run(std::vector<std::string> args) { return RunVelmora(args, runtime.path()); }
};

TEST_F(Cli, ConvertsAndReportsEveryStep) {
  const RunResult r = Run({"-i", in, "-o", out});
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_EQ(r.lines(), WithBanner({"Preparing...", "Importing...", "Import complete, new files added: 1",
                                   "Converting...", "Conversion complete", "Files converted: 1 of 1"}));
  TestBitmap jpg = LoadJpeg(out + "/photo.jpg");
  ASSERT_TRUE(jpg);
  EXPECT_EQ(FreeImage_GetWidth(jpg.get()), 40u);
  EXPECT_EQ(FreeImage_GetHeight(jpg.get()), 30u);
  EXPECT_EQ(FreeImage_GetBPP(jpg.get()), 24u);
  RGBQUAD px;  // pixel (5, 2) from the top: red 35, green 22, blue 200
  ASSERT_TRUE(FreeImage_GetPixelColor(jpg.get(), 5, 30 - 1 - 2, &px));
  EXPECT_NEAR(px.rgbRed, 35, 6);
  EXPECT_NEAR(px.rgbGreen, 22, 6);
  EXPECT_NEAR(px.rgbBlue, 200, 6);
  // Nothing but the output is left in the folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);
}

TEST_F(Cli, QuietPrintsOnlyFailures) {
  RunResult r = Run({"-q", "-i", in, "-o", out});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "");
  WriteFile(dir / "broken.tga", std::string(18, '\0') + "xx");
  r = Run({"-q", "-i", dir / "broken.tga", "-o", out});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.lines(), std::vector<std::string>{"Conversion stopped"});
}

TEST_F(Cli, FailedFileReportsConversionStopped) {
  WriteFile(dir / "broken.tga", std::string(18, '\0') + "xx");
  const RunResult r = Run({"-i", dir / "broken.tga", "-o", out});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.lines(), WithBanner({"Preparing...", "Importing...", "Import complete, new files added: 1",
                                   "Converting...", "Conversion stopped"}));
  // Why it failed goes to standard error, naming the file.
  EXPECT_EQ(r.err.rfind("velmora: " + dir / "broken.tga" + ": ", 0), 0u) << r.err;
}

struct RefusalCase {
  const char* name;
  std::vector<std::string> args;  // "@IN", "@OUT" and "@DIR" stand for the fixture's paths
  const char* lastLine;
  int exitCode;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class CliRefusal : public Cli, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(CliRefusal, PrintsOneErrorLine) {
  WriteFile(dir / "empty.tga", "");
  WriteFile(dir / "picture.png", "not empty");
  std::vector<std::string> args;
  for (std::string a : GetParam().args) {
    for (const auto& [token, value] : {std::pair<std::string, std::string>{"@IN", in}, {"@OUT", out}, {"@DIR", dir.path()}})
      if (const size_t at = a.find(token); at != std::string::npos) a.replace(at, token.size(), value);
    args.push_back(a);
  }
  const RunResult r = Run(args);
  ASSERT_FALSE(r.lines().empty());
  EXPECT_EQ(r.lines().back(), GetParam().lastLine) << r.out;
  EXPECT_EQ(r.exitCode, GetParam().exitCode);
  EXPECT_TRUE(fs::is_empty(out));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, CliRefusal, ::testing::Values(
  RefusalCase{"InputWithoutValue",      {"-i"},                                  "Error: Incorrect number of parameters", 2},
  RefusalCase{"InputValueIsAnOption",   {"-i", "-o", "@OUT"},                     "Error: Incorrect number of parameters", 2},
  RefusalCase{"WidthValueSeparate",     {"--input=@IN", "--width", "800"},        "Error: Incorrect number of parameters", 2},
  RefusalCase{"ProfileWithoutValue",    {"-i", "@IN", "--profile"},               "Error: Incorrect number of parameters", 2},
  RefusalCase{"MissingProfile",         {"-i", "@IN", "--profile=@DIR/none.ini"},  "Error: Invalid profile file", 2},
  RefusalCase{"NoExtension",            {"-i", "@DIR/photo", "-o", "@OUT"},        "Error: Invalid input file", 1},
  RefusalCase{"Folder",                 {"-i", "@OUT", "-o", "@OUT"},              "Error: Invalid input file", 1},
  RefusalCase{"EmptyFile",              {"-i", "@DIR/empty.tga", "-o", "@OUT"},    "Error: Invalid input file", 1},
  RefusalCase{"MissingFile",            {"-i", "@DIR/gone.tga", "-o", "@OUT"},     "Error: Invalid input file", 1},
  RefusalCase{"ParentFolder",           {"-i", "@IN", "-o", "../out"},            "Error: Incorrect output folder", 1},
  RefusalCase{"MissingFolder",          {"-i", "@IN", "-o", "@DIR/nowhere"},       "Error: Invalid output folder", 1},
  RefusalCase{"UpperCaseConversion",    {"-i", "@IN", "-o", "@OUT", "-c", "JPG"},  "Error: Invalid conversion type", 1},
  RefusalCase{"Depth16",                {"-i", "@IN", "-o", "@OUT", "--jpg-bpp=16"}, "Error: Invalid jpg-bpp value", 1},
  RefusalCase{"Quality0",               {"-i", "@IN", "-o", "@OUT", "--jpg-quality=0"}, "Error: Invalid jpg-quality value", 1},
  RefusalCase{"Quality101",             {"-i", "@IN", "-o", "@OUT", "--jpg-quality=101"}, "Error: Invalid jpg-quality value", 1},
  RefusalCase{"WidthWithoutHeight",     {"-i", "@IN", "-o", "@OUT", "--width=800"}, "Error: Invalid height value", 1},
  RefusalCase{"Brightness",             {"-i", "@IN", "-o", "@OUT", "--brightness=101"}, "Error: Invalid brightness value", 1},
  RefusalCase{"Contrast",               {"-i", "@IN", "-o", "@OUT", "--contrast=-101"}, "Error: Invalid contrast value", 1},
  RefusalCase{"GammaTooSmall",          {"-i", "@IN", "-o", "@OUT", "--gamma=0.009"}, "Error: Invalid gamma value", 1},
  RefusalCase{"GammaNaN",               {"-i", "@IN", "-o", "@OUT", "--gamma=nan"}, "Error: Invalid gamma value", 1},
  RefusalCase{"MissingWatermarkImage",  {"-i", "@IN", "-o", "@OUT", "--wm-image=@DIR/none.png"}, "Error: Invalid watermark image", 1},
  RefusalCase{"NotATarga",              {"-i", "@DIR/picture.png", "-o", "@OUT"},
                                        "No input file(s) found. Please, add valid file(s) and try again!", 1}
), [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(Cli, DebugEchoesEverySettingItChecks) {
  const RunResult r = Run({"-d", "-i", in, "-o", out + "/", "--jpg-quality=80", "--jpg-chroma=medium",
                           "--rotation=0", "--width=50", "--height=25", "--width-unit=percent", "--invert",
                           "--fr-solid-left=3", "--file-timestamp=custom", "--file-timestamp-custom=86400",
                           "--filename-mask=%filename%_x.%ext%"});
  const std::vector<std::string> expected = WithBanner({
      "Preparing...", "Input: " + in, "Output: " + out + "/", "Conversion: jpg", "JPG BPP: 0", "JPG Quality: 80",
      "JPG Chroma Subsampling: medium", "JPG Save As: standard", "Image Rotation Type: simple", "Image Rotation: 0",
      "Image Rotation Back Color: 000000", "Width: 50 percent", "Height: 25 pixels", "Keep Aspect Ratio: 0",
      "Image Resize Type: allimages", "Image Resize Algorithm: bicubic", "Flip Horizontal: 0", "Flip Vertical: 0",
      "Brightness: 0", "Contrast: 0", "Gamma: 1.00", "Invert: 1", "Greyscale: 0", "Frame: solid", "Frame left: 3",
      "Frame right: 0", "Frame top: 0", "Frame bottom: 0", "Frame left color: 000000", "Frame right color: 000000",
      "Frame top color: 000000", "Frame bottom color: 000000", "Frame opacity: 255", "Watermark: none",
      "Filename Mask: %filename%_x.%ext%", "File Timestamp: custom", "Custom Timestamp: 86400", "Keep Subfolders: 1",
      "Importing...", "Import complete, new files added: 1", "Converting...", "Processing: " + in,
      "Saving As: " + out + "/photo_x.jpg", "OK", "Conversion complete", "Files converted: 1 of 1"});
  EXPECT_EQ(r.lines(), expected);
  EXPECT_EQ(r.exitCode, 0);
}

TEST_F(Cli, SecondInstanceIsRefused) {
  const std::string lockPath = runtime / "Varnello TGA to JPG 2.8.lock";
  const int fd = open(lockPath.c_str(), O_RDWR | O_CREAT, 0600);
  ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
  const RunResult r = Run({"-v"});
  close(fd);
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Error: another instance is running\n");
  EXPECT_EQ(Run({"-v"}).out, "2.8\n");
}

TEST_F(Cli, ModesAreChosenByTheFirstArgumentOnly) {
  EXPECT_EQ(Run({"--VERSION"}).out, "2.8\n");
  const RunResult help = Run({"-?"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.lines().size(), 36u);
  EXPECT_EQ(help.lines()[1], "Usage: velmora -i <filename> [options]");
  // -h after other arguments means nothing: the file is converted.
  const RunResult r = Run({"-I", in, "-o", out, "-h", "--JPG-QUALITY=80"});
  EXPECT_EQ(r.exitCode, 0) << r.out;
  EXPECT_TRUE(fs::exists(out + "/photo.jpg"));
}

TEST_F(Cli, FailedSaveKeepsTheOlderFile) {
  WriteFile(out + "/broken.jpg", "older file");
  WriteFile(dir / "broken.tga", std::string(18, '\0') + "xx");
  EXPECT_EQ(Run({"-i", dir / "broken.tga", "-o", out}).exitCode, 1);
  EXPECT_EQ(ReadFile(out + "/broken.jpg"), "older file");
  EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);
}

TEST_F(Cli, NeverWritesOverTheInput) {
  const std::string before = ReadFile(in);
  const RunResult r = Run({"-d", "-i", in, "-o", dir.path(), "--filename-mask=%filename%.tga"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("Saving As: " + in + "\nNot OK\n"), std::string::npos) << r.out;
  EXPECT_EQ(ReadFile(in), before);
}

TEST_F(Cli, OutputDepthFollowsTheSource) {
  struct Case {
    int sourceBpp;
    std::vector<std::string> extra;
    unsigned expectedBpp;
  };
  const Case cases[] = {{24, {}, 24}, {32, {}, 24}, {8, {}, 8}, {24, {"--jpg-bpp=8"}, 8}, {8, {"--jpg-bpp=24"}, 24}};
  for (const Case& c : cases) {
    const std::string src = WriteTga(dir / ("d" + std::to_string(c.sourceBpp) + ".tga"), 16, 8, c.sourceBpp);
    std::vector<std::string> args = {"-i", src, "-o", out, "--filename-mask=%filename%_%bpp%.%ext%"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    ASSERT_EQ(Run(args).exitCode, 0);
    const std::string name = out + "/d" + std::to_string(c.sourceBpp) + "_" + std::to_string(c.expectedBpp) + ".jpg";
    TestBitmap jpg = LoadJpeg(name);
    ASSERT_TRUE(jpg) << name;
    EXPECT_EQ(FreeImage_GetBPP(jpg.get()), c.expectedBpp) << name;
    fs::remove(name);
  }
}

TEST_F(Cli, FileTimestampOptions) {
  struct stat st{};
  ASSERT_EQ(stat(in.c_str(), &st), 0);
  timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, in.c_str(), times, 0), 0);
  ASSERT_EQ(Run({"-i", in, "-o", out, "--file-timestamp=original"}).exitCode, 0);
  ASSERT_EQ(stat((out + "/photo.jpg").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);

  // A custom date counts local-calendar seconds: 0 is midnight of 1970-01-01 here.
  ASSERT_EQ(RunVelmora({"-i", in, "-o", out, "--file-timestamp=custom", "--file-timestamp-custom=0"}, runtime.path(),
                       {"TZ=UTC-2"}).exitCode, 0);
  ASSERT_EQ(stat((out + "/photo.jpg").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtim.tv_sec, -7200);
}

TEST_F(Cli, NamesFollowTheMask) {
  fs::copy_file(in, dir / "pHOTO.TGA");
  ASSERT_EQ(Run({"-i", dir / "pHOTO.TGA", "-o", out, "--filename-mask=Copy_%FILENAME%"}).exitCode, 0);
  ASSERT_EQ(Run({"-i", dir / "pHOTO.TGA", "-o", out, "--filename-mask=%filename[t]%.%ext[u]%"}).exitCode, 0);
  ASSERT_EQ(Run({"-i", in, "-o", out, "--filename-mask=%width%x%height%_%n%"}).exitCode, 0);
  EXPECT_EQ(FileNames(out), (std::set<std::string>{"copy_pHOTO", "Photo.JPG", "40x30_00001"}));
}

TEST_F(Cli, RelativeOutputFolderIsBesideTheProgram) {
  const std::string programFolder = fs::path(VELMORA_BINARY).parent_path().string();
  const std::string name = "relative-" + std::to_string(getpid());
  fs::copy_file(in, dir / (name + ".tga"));
  const RunResult r = Run({"-i", dir / (name + ".tga"), "-o", "./"});
  EXPECT_EQ(r.exitCode, 0) << r.out;
  EXPECT_TRUE(fs::remove(programFolder + "/" + name + ".jpg"));
}

}  // namespace

namespace {

TEST_F(Cli, ProfileAppliesAtItsPlaceAmongTheArguments) {
  WriteFile(dir / "web.ini", "; web\r\n[cli]\r\n--JPG-QUALITY = 70\r\n--filename-mask = \"%filename%_p.%ext%\"\r\n");
  auto quality = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = {"-d", "-i", in, "-o", out};
    args.insert(args.end(), extra.begin(), extra.end());
    const RunResult r = Run(args);
    EXPECT_EQ(r.exitCode, 0) << r.out;
    for (const std::string& line : r.lines())
      if (line.rfind("JPG Quality: ", 0) == 0) return line;
    return std::string();
  };
  EXPECT_EQ(quality({"--profile=" + dir / "web.ini", "--jpg-quality=80"}), "JPG Quality: 80");
  EXPECT_EQ(quality({"--jpg-quality=80", "--profile=" + dir / "web.ini"}), "JPG Quality: 70");
  EXPECT_TRUE(fs::exists(out + "/photo_p.jpg"));
  // A profile that cannot be read stops the walk before the options after it.
  const RunResult r = Run({"-i", in, "--profile=" + dir.path(), "--jpg-quality=0"});
  EXPECT_EQ(r.lines(), std::vector<std::string>{"Error: Invalid profile file"});
  EXPECT_EQ(r.exitCode, 2);
}

}  // namespace

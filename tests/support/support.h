// Shared helpers of the test suite: private temporary folders, running the real
// binary, and small generated images.
#pragma once

#include <FreeImage.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace testing_support {

namespace fs = std::filesystem;

// A fresh folder removed at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "velmora-test-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

struct RunResult {
  int exitCode = -1;
  std::string out;
  std::string err;
  std::vector<std::string> lines() const {
    std::vector<std::string> result;
    size_t start = 0;
    while (start < out.size()) {
      size_t end = out.find('\n', start);
      if (end == std::string::npos) end = out.size();
      result.push_back(out.substr(start, end - start));
      start = end + 1;
    }
    return result;
  }
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The names of the entries of a folder.
inline std::set<std::string> FileNames(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
  return names;
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Runs build/velmora with its own XDG folders (so tests can run in parallel)
// and no terminal on standard input.
inline RunResult RunVelmora(const std::vector<std::string>& args, const std::string& runtimeDir,
                            const std::vector<std::string>& extraEnv = {}) {
  TempDir capture;
  const std::string outPath = capture / "out", errPath = capture / "err";
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (runtimeDir + "/config").c_str(), 1);
    for (const std::string& e : extraEnv) putenv(strdup(e.c_str()));
    std::freopen("/dev/null", "r", stdin);
    std::freopen(outPath.c_str(), "w", stdout);
    std::freopen(errPath.c_str(), "w", stderr);
    std::vector<char*> argv{const_cast<char*>(VELMORA_BINARY)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(VELMORA_BINARY, argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  RunResult r;
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = ReadFile(outPath);
  r.err = ReadFile(errPath);
  return r;
}

struct BitmapDeleter {
  void operator()(FIBITMAP* b) const {
    if (b) FreeImage_Unload(b);
  }
};
using TestBitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

// A 24-bit image whose pixel (x, y) has red x*7, green y*11, blue 200 (top-down y).
inline TestBitmap MakeGradient(int width, int height, int bpp = 24) {
  TestBitmap b(FreeImage_Allocate(width, height, 24));
  for (int y = 0; y < height; ++y) {
    BYTE* line = FreeImage_GetScanLine(b.get(), height - 1 - y);
    for (int x = 0; x < width; ++x) {
      line[x * 3 + FI_RGBA_RED] = static_cast<BYTE>(x * 7);
      line[x * 3 + FI_RGBA_GREEN] = static_cast<BYTE>(y * 11);
      line[x * 3 + FI_RGBA_BLUE] = 200;
    }
  }
  if (bpp == 32) return TestBitmap(FreeImage_ConvertTo32Bits(b.get()));
  if (bpp == 8) return TestBitmap(FreeImage_ConvertToGreyscale(b.get()));
  return b;
}

inline std::string WriteTga(const std::string& path, int width, int height, int bpp = 24) {
  TestBitmap b = MakeGradient(width, height, bpp);
  EXPECT_TRUE(FreeImage_Save(FIF_TARGA, b.get(), path.c_str(), TARGA_DEFAULT));
  return path;
}

inline TestBitmap LoadJpeg(const std::string& path) { return TestBitmap(FreeImage_Load(FIF_JPEG, path.c_str(), 0)); }

}  // namespace testing_support

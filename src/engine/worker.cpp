#include "engine/worker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <thread>

#include "engine/depth.h"
#include "engine/naming.h"
#include "engine/stages.h"
#include "engine/tga_decode.h"
#include "platform/platform.h"

namespace {

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa{}, sb{};
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

mode_t CreationMode() {
  static const mode_t mode = [] {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
  }();
  return mode;
}

// FreeImage's own file output drops the result of the final flush and close, so
// the save goes through these, which remember any failed write.
struct CheckedFile {
  FILE* file;
  bool failed = false;
  int error = 0;  // errno of the first failed write
};

unsigned DLL_CALLCONV CheckedRead(void* buffer, unsigned size, unsigned count, fi_handle handle) {
  return static_cast<unsigned>(std::fread(buffer, size, count, static_cast<CheckedFile*>(handle)->file));
}

// A failed write is remembered, not reported: the encoders leak memory on their
// error path, and the file is thrown away in either case.
unsigned DLL_CALLCONV CheckedWrite(void* buffer, unsigned size, unsigned count, fi_handle handle) {
  auto* out = static_cast<CheckedFile*>(handle);
  if (!out->failed && std::fwrite(buffer, size, count, out->file) != count) {
    out->failed = true;
    out->error = errno;
  }
  return count;
}

int DLL_CALLCONV CheckedSeek(fi_handle handle, long offset, int origin) {
  return std::fseek(static_cast<CheckedFile*>(handle)->file, offset, origin);
}

long DLL_CALLCONV CheckedTell(fi_handle handle) { return std::ftell(static_cast<CheckedFile*>(handle)->file); }

void StampFileTime(const ConversionRun& run, const ConversionSettings& s) {
  if (s.fileTimestamp == 1) {
    int64_t when = 0;  // an unreadable input time sets the epoch, as documented
    if (!platform::FileModifiedLocal(run.inputPath, when)) when = 0;
    platform::SetFileModifiedLocal(run.outputPath, when);
  } else if (s.fileTimestamp == 2) {
    platform::SetFileModifiedLocal(run.outputPath, s.customTimestamp);
  }
}

}  // namespace

bool SaveAtomically(FIBITMAP* bitmap, int formatId, int flags, const std::string& path, const std::string& inputPath,
                    std::string& failure) {
  if (!bitmap) return failure = "the image could not be prepared for saving", false;
  if (SameFile(path, inputPath)) return failure = "the output name is the input file itself", false;
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  // A dot-name with a .tmp ending is never taken for a converted image.
  std::string temp = folder + ".velmora-XXXXXX.tmp";
  const int fd = mkostemps(temp.data(), 4, O_CLOEXEC);
  if (fd < 0) return failure = "cannot create a file in " + folder + ": " + std::strerror(errno), false;
  fchmod(fd, CreationMode());
  // The encoder writes to the descriptor just created, never to whatever the
  // name points at by then.
  CheckedFile out{fdopen(fd, "w+b")};
  if (!out.file) {
    failure = std::string("cannot write a file in ") + folder + ": " + std::strerror(errno);
    close(fd);
    unlink(temp.c_str());
    return false;
  }
  FreeImageIO io{CheckedRead, CheckedWrite, CheckedSeek, CheckedTell};
  bool ok = FreeImage_SaveToHandle(static_cast<FREE_IMAGE_FORMAT>(formatId), bitmap, &io, &out, flags) != FALSE;
  if (!ok) failure = "the encoder could not write the image";
  // A full disk often shows only when the last buffer is flushed; and the data
  // must be on disk before the name points at it.
  if (ok && (out.failed || std::fflush(out.file) != 0 || fsync(fd) != 0)) {
    ok = false;
    failure = std::string("cannot write the image to disk: ") + std::strerror(out.failed ? out.error : errno);
  }
  if (std::fclose(out.file) != 0 && ok) {
    ok = false;
    failure = std::string("cannot write the image to disk: ") + std::strerror(errno);
  }
  if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    failure = "cannot rename the image to " + path + ": " + std::strerror(errno);
  }
  if (!ok) unlink(temp.c_str());
  return ok;
}

bool ConvertImage(ConversionRun& run, const ConversionSettings& s) {
  DecodedImage decoded = DecodeTarga(run.inputPath);
  Bitmap bitmap = std::move(decoded.bitmap);
  const unsigned w0 = bitmap ? FreeImage_GetWidth(bitmap.get()) : 0;
  const unsigned h0 = bitmap ? FreeImage_GetHeight(bitmap.get()) : 0;
  run.sourceDepth = bitmap ? decoded.sourceDepth : 0;
  run.failure.clear();
  if (w0 == 0 || h0 == 0) {
    run.failure = decoded.failure.empty() ? "not a readable Targa image" : decoded.failure;
    return false;
  }

  bitmap = RotateImage(std::move(bitmap), s);
  // Read the size before the call: argument evaluation order is unspecified.
  const unsigned rotatedWidth = bitmap ? FreeImage_GetWidth(bitmap.get()) : 0;
  const unsigned rotatedHeight = bitmap ? FreeImage_GetHeight(bitmap.get()) : 0;
  bitmap = ResizeImage(std::move(bitmap), rotatedWidth, rotatedHeight, s);
  const int width = bitmap ? static_cast<int>(FreeImage_GetWidth(bitmap.get())) : 0;
  const int height = bitmap ? static_cast<int>(FreeImage_GetHeight(bitmap.get())) : 0;
  FlipImage(bitmap.get(), s);
  bitmap = AdjustImageColors(std::move(bitmap), s);
  bitmap = GreyscaleImage(std::move(bitmap), s);
  bitmap = ThresholdImage(std::move(bitmap), s);
  bitmap = ApplyFrame(std::move(bitmap), width, height, s);

  // Watermark tokens show this image's size and the depth it will be saved
  // with, not what the previous image left behind.
  run.outputWidth = width;
  run.outputHeight = height;
  if (run.autoDepth) run.targetDepth = ChooseAutoDepth(run.outputExtension, run.sourceDepth);
  bitmap = ApplyWatermark(std::move(bitmap), width, height, s, run);

  bitmap = ConvertOutputDepth(std::move(bitmap), run);
  run.outputPath = OutputFilePath(run, s);
  return SaveAtomically(bitmap.get(), run.outputFormatId, run.saveFlags, run.outputPath, run.inputPath, run.failure);
}

void ConversionWorker(ConversionRun& run, const ConversionSettings& s, ConversionProgress& progress, bool debug) {
  int32_t fileCounter = 0;
  int32_t successes = 0;
  for (auto entry = run.inputFiles.begin();; ++entry) {
    while (progress.held) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (!progress.keepRunning || entry == run.inputFiles.end()) break;
    ++fileCounter;
    run.inputPath = entry->first;
    run.relativeSubfolder = entry->second.relativeSubfolder;
    {
      std::lock_guard<std::mutex> lock(progress.progressMutex);
      progress.currentIndex = fileCounter;
      progress.currentFile = run.inputPath;
    }
    if (debug) platform::WriteLine("Processing: " + run.inputPath);
    const bool ok = ConvertImage(run, s);
    if (debug) {
      platform::WriteLine("Saving As: " + run.outputPath);
      platform::WriteLine(ok ? "OK" : "Not OK");
    }
    if (!ok) continue;
    run.randomToken = platform::RandomInt(1, 99999);
    ++run.sequenceNumber;
    ++successes;
    StampFileTime(run, s);
  }
  std::lock_guard<std::mutex> lock(progress.progressMutex);
  progress.convertedCount = successes;
}

#include "engine/tga_decode.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/tga_rewrite.h"

namespace {

// The file as FreeImage is shown it: the first viewEnd bytes of the source, then
// zero bytes up to viewSize.
struct DecodeView {
  ByteReader* reader;
  uint64_t viewEnd;
  uint64_t viewSize;
  uint64_t position;
};

unsigned DLL_CALLCONV ViewRead(void* buffer, unsigned size, unsigned count, fi_handle handle) {
  auto& view = *static_cast<DecodeView*>(handle);
  if (size == 0 || view.position >= view.viewSize) return 0;
  const uint64_t wanted = std::min<uint64_t>(uint64_t{size} * count, view.viewSize - view.position);
  auto* out = static_cast<uint8_t*>(buffer);
  uint64_t done = 0;
  if (view.position < view.viewEnd) {
    const size_t n = static_cast<size_t>(std::min(wanted, view.viewEnd - view.position));
    SeekTo(*view.reader, view.position);
    done = ReadBytes(*view.reader, out, n);
    if (done < n) {
      view.position += done;
      return static_cast<unsigned>(done / size);
    }
  }
  std::memset(out + done, 0, static_cast<size_t>(wanted - done));
  view.position += wanted;
  return static_cast<unsigned>(wanted / size);
}

unsigned DLL_CALLCONV ViewWrite(void*, unsigned, unsigned, fi_handle) { return 0; }

int DLL_CALLCONV ViewSeek(fi_handle handle, long offset, int origin) {
  auto& view = *static_cast<DecodeView*>(handle);
  int64_t base = 0;
  if (origin == SEEK_CUR) base = static_cast<int64_t>(view.position);
  else if (origin == SEEK_END) base = static_cast<int64_t>(view.viewSize);
  else if (origin != SEEK_SET) return -1;
  const int64_t target = base + offset;
  if (target < 0) return -1;
  view.position = static_cast<uint64_t>(target);
  return 0;
}

long DLL_CALLCONV ViewTell(fi_handle handle) {
  return static_cast<long>(static_cast<DecodeView*>(handle)->position);
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

Bitmap DecodeCheckedTarga(ByteReader& reader, const TgaCheck& check) {
  if (!check.ok || check.rewrite != TgaRewrite::kNone) return nullptr;
  DecodeView view{&reader, check.viewEnd, check.viewSize, 0};
  FreeImageIO io{ViewRead, ViewWrite, ViewSeek, ViewTell};
  return Bitmap(FreeImage_LoadFromHandle(FIF_TARGA, &io, &view, 0));
}

DecodedImage DecodeTargaFrom(ByteReader& reader) {
  DecodedImage result;
  const TgaCheck check = ValidateTarga(reader);
  if (!check.ok) {
    result.failure = check.reason;
    return result;
  }
  if (check.rewrite == TgaRewrite::kNone) {
    result.bitmap = DecodeCheckedTarga(reader, check);
  } else {
    // The rewritten file is checked like any other before FreeImage sees it.
    const std::vector<uint8_t> bytes = RewriteTarga(reader, check);
    if (bytes.empty()) {
      result.failure = "read error";
      return result;
    }
    ByteReader memory = MemoryByteReader(bytes.data(), bytes.size());
    result.bitmap = DecodeCheckedTarga(memory, ValidateTarga(memory));
  }
  if (!result.bitmap) {
    result.failure = "FreeImage could not decode the file";
    return result;
  }
  // A colour-mapped file stays an 8-bit image; grey with alpha reports its grey
  // depth, since JPEG keeps no alpha.
  result.sourceDepth = check.rewrite == TgaRewrite::kWidenGreyAlpha
                           ? 8
                           : static_cast<int>(FreeImage_GetBPP(result.bitmap.get()));
  return result;
}

DecodedImage DecodeTarga(const std::string& path) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  ByteReader reader;
  if (!file || !OpenByteReader(reader, file.get())) {
    DecodedImage result;
    result.failure = "cannot open the file";
    return result;
  }
  return DecodeTargaFrom(reader);
}

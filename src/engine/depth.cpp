#include "engine/depth.h"

#include "engine/formats.h"
#include "engine/stages.h"

int ChooseAutoDepth(const std::string& key, int sourceDepth) {
  const std::vector<int> depths = FormatDepths(key);
  for (int d : depths)
    if (d >= sourceDepth) return d;
  return depths.empty() ? 0 : depths.back();
}

namespace {

// Each conversion unloads what it was given, whether or not it produced a result.
using Convert = FIBITMAP* (*)(FIBITMAP*);
Bitmap Apply(Bitmap bitmap, Convert convert) {
  if (!bitmap) return nullptr;
  return Bitmap(convert(bitmap.get()));
}

FIBITMAP* QuantizeWu(FIBITMAP* b) { return FreeImage_ColorQuantizeEx(b, FIQ_WUQUANT, 256, 0, nullptr); }
FIBITMAP* DitherFloydSteinberg(FIBITMAP* b) { return FreeImage_Dither(b, FID_FS); }

bool IsOneOf(const std::string& key, std::initializer_list<const char*> keys) {
  for (const char* k : keys)
    if (key == k) return true;
  return false;
}

}  // namespace

Bitmap ConvertOutputDepth(Bitmap bitmap, ConversionRun& run) {
  if (!bitmap) return nullptr;
  if (run.autoDepth) run.targetDepth = ChooseAutoDepth(run.outputExtension, run.sourceDepth);
  const int bpp = static_cast<int>(FreeImage_GetBPP(bitmap.get()));
  if (bpp == run.targetDepth) return bitmap;
  const std::string& key = run.outputExtension;
  switch (run.targetDepth) {
    case 96: return Apply(std::move(bitmap), FreeImage_ConvertToRGBF);
    case 48: return Apply(std::move(bitmap), FreeImage_ConvertToRGB16);
    case 32: return Apply(std::move(bitmap), FreeImage_ConvertTo32Bits);
    case 24: return Apply(std::move(bitmap), FreeImage_ConvertTo24Bits);
    case 16:
      if (bpp > 32) bitmap = Apply(std::move(bitmap), FreeImage_ConvertTo24Bits);
      return Apply(std::move(bitmap),
                   IsOneOf(key, {"ico", "tga"}) ? FreeImage_ConvertTo16Bits555 : FreeImage_ConvertTo16Bits565);
    case 8:
      if (IsOneOf(key, {"j2k", "jp2", "jpg", "jxr"})) return Apply(std::move(bitmap), FreeImage_ConvertTo8Bits);
      if (bpp != 24) bitmap = Apply(std::move(bitmap), FreeImage_ConvertTo24Bits);
      return Apply(std::move(bitmap), QuantizeWu);
    case 4: return Apply(std::move(bitmap), FreeImage_ConvertTo4Bits);
    case 1: return Apply(std::move(bitmap), DitherFloydSteinberg);
    default: return nullptr;  // no conversion reaches this depth: the save fails
  }
}

int SaveFlagsFor(const std::string& key, const ConversionSettings& s) {
  if (key != "jpg") return 0;
  int flags = s.jpgQuality;
  switch (s.jpgChroma) {
    case 0: flags |= JPEG_SUBSAMPLING_444; break;
    case 1: flags |= JPEG_SUBSAMPLING_422; break;
    case 2: flags |= JPEG_SUBSAMPLING_420; break;
    case 3: flags |= JPEG_SUBSAMPLING_411; break;
    default: break;
  }
  switch (s.jpgSaveAs) {
    case 1: flags |= JPEG_BASELINE; break;
    case 2: flags |= JPEG_OPTIMIZE; break;
    case 3: flags |= JPEG_PROGRESSIVE; break;
    default: break;
  }
  return flags;
}

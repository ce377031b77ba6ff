// Geometric and tonal transforms: rotation, resize, flip, colour adjustment,
// greyscale and threshold. Each stage acts only when its setting is on and hands
// an absent bitmap through. A stage that makes a new bitmap frees the old one
// before it goes on, so no more than two full-size images are alive at once.
#include "engine/transforms.h"

#include <cmath>
#include <limits>

#include "engine/stages.h"
#include "settings/color.h"

namespace {

// Takes the bitmap and returns its 24-bit copy (none when the library cannot
// convert it); the original is freed before the caller continues.
Bitmap Into24Bits(Bitmap bitmap) {
  if (!bitmap) return bitmap;
  return Bitmap(FreeImage_ConvertTo24Bits(bitmap.get()));
}

int32_t SaturateToInt32(double x) {
  if (std::isnan(x)) return 0;
  if (x >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  if (x <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(x);
}

double RoundHalfEven(double x) {
  double whole = std::floor(x);
  const double fraction = x - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  return whole;
}

// The shorter side follows the longer one through a single-precision ratio;
// the quotient is narrowed to single precision before it is rounded.
int32_t FollowingSide(int32_t target, unsigned longer, unsigned shorter) {
  const float ratio = static_cast<float>(longer) / static_cast<float>(shorter);
  const float side = static_cast<float>(static_cast<double>(target) / static_cast<double>(ratio));
  return RoundHalfAway(side);
}

}  // namespace

int32_t ScaledDimension(int32_t value, int unit, unsigned size) {
  switch (unit) {
    case 0:
      return value;
    case 1:
      return SaturateToInt32(RoundHalfEven(static_cast<double>(value) / 100.0 * size));
    default:
      return 0;
  }
}

FREE_IMAGE_FILTER ResizeFilter(const ConversionSettings& s) {
  switch (s.imageResizeAlgorithm) {
    case 0: return FILTER_BOX;
    case 1: return FILTER_BILINEAR;
    case 2: return FILTER_BSPLINE;
    case 3: return FILTER_BICUBIC;
    case 4: return FILTER_CATMULLROM;
    case 5: return FILTER_LANCZOS3;
    default: return FILTER_BICUBIC;
  }
}

int32_t RoundHalfAway(double x) {
  return SaturateToInt32(x > 0 ? std::floor(x + 0.5) : std::ceil(x - 0.5));
}

ResizeTarget ComputeResizeTarget(unsigned width, unsigned height, const ConversionSettings& s) {
  const int64_t w = width, h = height;
  const int32_t tw = ScaledDimension(s.imageWidth, s.imageWidthUnit, width);
  const int32_t th = ScaledDimension(s.imageHeight, s.imageHeightUnit, height);
  // An empty image has no ratio; the pipeline never passes one on.
  if (w == 0 || h == 0) return {};
  if (tw <= 0 || th <= 0) return {};
  if (w == tw && h == th) return {};
  if (s.imageResizeType == 1 && w < tw && h < th) return {};
  if (!s.keepAspectRatio) return {true, tw, th};
  if (w >= h) return {true, tw, FollowingSide(tw, width, height)};
  return {true, FollowingSide(th, height, width), th};
}

Bitmap RotateImage(Bitmap bitmap, const ConversionSettings& s) {
  if (!bitmap || !s.doImageRotation) return bitmap;
  const int32_t angle = s.imageRotation;
  if (angle <= 0 || angle >= 360) return bitmap;
  const unsigned width = FreeImage_GetWidth(bitmap.get());
  const unsigned height = FreeImage_GetHeight(bitmap.get());

  // The library rotates 24- and 32-bit colour as it is; everything else goes
  // through 24 bits so the background colour and interpolation stay in colour.
  const unsigned bpp = FreeImage_GetBPP(bitmap.get());
  if (bpp <= 16 || bpp > 32) bitmap = Into24Bits(std::move(bitmap));
  if (!bitmap) return bitmap;

  FIBITMAP* rotated = nullptr;
  switch (s.imageRotationType) {
    case 0: {
      const uint32_t c = ParseHexColor(s.imageRotationBackColor, 0);
      RGBQUAD background{};
      background.rgbRed = static_cast<BYTE>(c & 0xFF);
      background.rgbGreen = static_cast<BYTE>(c >> 8 & 0xFF);
      background.rgbBlue = static_cast<BYTE>(c >> 16 & 0xFF);
      background.rgbReserved = 0;
      rotated = FreeImage_Rotate(bitmap.get(), static_cast<double>(angle), &background);
      break;
    }
    case 1:
      // About the centre, on a canvas of the same size; the corners stay black.
      rotated = FreeImage_RotateEx(bitmap.get(), static_cast<double>(angle), 0.0, 0.0, width / 2.0,
                                   height / 2.0, FALSE);
      break;
    default:
      return bitmap;
  }
  bitmap.reset();
  return Bitmap(rotated);
}

Bitmap ResizeImage(Bitmap bitmap, unsigned width, unsigned height, const ConversionSettings& s) {
  if (!bitmap || !s.doImageResize) return bitmap;
  const ResizeTarget target = ComputeResizeTarget(width, height, s);
  if (!target.resize) return bitmap;
  Bitmap resized(FreeImage_Rescale(bitmap.get(), target.width, target.height, ResizeFilter(s)));
  bitmap.reset();
  return resized;
}

void FlipImage(FIBITMAP* bitmap, const ConversionSettings& s) {
  if (!bitmap) return;
  if (s.doImageFlipHorizontal) FreeImage_FlipHorizontal(bitmap);
  if (s.doImageFlipVertical) FreeImage_FlipVertical(bitmap);
}

Bitmap AdjustImageColors(Bitmap bitmap, const ConversionSettings& s) {
  if (!bitmap || !s.doImageColorCorrection) return bitmap;
  // The library adjusts 8-, 24- and 32-bit images only. A 16-bit colour image
  // would pass unadjusted, so it goes through 24 bits like the 1- and 4-bit
  // ones; its colours are unchanged by that.
  const unsigned bpp = FreeImage_GetBPP(bitmap.get());
  const bool colour16 = bpp == 16 && FreeImage_GetImageType(bitmap.get()) == FIT_BITMAP;
  if (bpp < 8 || colour16 || bpp > 32) bitmap = Into24Bits(std::move(bitmap));
  if (!bitmap) return bitmap;
  // The result is not checked: an image the library cannot adjust passes as it is.
  FreeImage_AdjustColors(bitmap.get(), static_cast<double>(s.imageBrightness),
                         static_cast<double>(s.imageContrast), static_cast<double>(s.imageGamma),
                         s.imageInvert ? TRUE : FALSE);
  return bitmap;
}

Bitmap GreyscaleImage(Bitmap bitmap, const ConversionSettings& s) {
  if (!bitmap || !s.doImageGreyscale) return bitmap;
  if (FreeImage_GetBPP(bitmap.get()) > 32) bitmap = Into24Bits(std::move(bitmap));
  if (!bitmap) return bitmap;
  Bitmap grey(FreeImage_ConvertToGreyscale(bitmap.get()));
  bitmap.reset();
  return grey;
}

Bitmap ThresholdImage(Bitmap bitmap, const ConversionSettings& s) {
  if (!bitmap || !s.doImageThreshold) return bitmap;
  if (FreeImage_GetBPP(bitmap.get()) > 32) bitmap = Into24Bits(std::move(bitmap));
  if (!bitmap) return bitmap;
  // Only the low eight bits count: 300 acts as 44.
  const BYTE level = static_cast<BYTE>(static_cast<uint32_t>(s.imageThreshold) & 0xFFu);
  Bitmap bw(FreeImage_Threshold(bitmap.get(), level));
  bitmap.reset();
  return bw;
}

// The watermark step, the placement shared by both kinds, and the picture
// watermark.
#include "engine/stages.h"
#include "overlay/overlay.h"
#include "overlay/pixels.h"

Placement TextPlacement(const ConversionSettings& s) {
  return {s.textBoundary, s.textPosition, s.textXOffset, s.textYOffset, s.textRotation};
}

Placement ImagePlacement(const ConversionSettings& s) {
  return {s.imageBoundary, s.imagePosition, s.imageXOffset, s.imageYOffset, s.watermarkImageRotation};
}

OverlaySpot LocateOverlay(int overlayWidth, int overlayHeight, int width, int height, const Placement& p,
                          const ConversionSettings& s) {
  int64_t bw = width, bh = height, ml = 0, mt = 0;
  if (s.doFrame != 0 && p.boundary == 1) {
    bw = int64_t{width} - s.solidLeft - s.solidRight;
    bh = int64_t{height} - s.solidTop - s.solidBottom;
    ml = s.solidLeft;
    mt = s.solidTop;
  }
  const int64_t X = p.xOffset, Y = p.yOffset;
  // The offsets shorten the kept part for every position, also where they
  // do not move the overlay.
  int64_t w = overlayWidth, h = overlayHeight;
  if (w + X > bw) w = bw - X;
  if (h + Y > bh) h = bh - Y;
  // An offset as large as the bounds, or a frame wider than the image, keeps
  // nothing to paste.
  if (w <= 0 || h <= 0) return {};

  int64_t x = 0, y = 0;
  const int column = p.position % 3, row = p.position / 3;
  if (p.position >= 0 && p.position <= 8) {
    x = column == 0 ? X : column == 1 ? (bw - w) / 2 : bw - w - X;
    y = row == 0 ? Y : row == 1 ? (bh - h) / 2 : bh - h - Y;
  }
  x += ml;
  y += mt;
  // Only an overlay that lies wholly inside the image is pasted.
  if (x < 0 || y < 0 || x + w > width || y + h > height) return {};
  return {true, static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h)};
}

Bitmap PlaceOverlay(Bitmap image, Bitmap overlay, int width, int height, const Placement& p,
                    const ConversionSettings& s) {
  if (!image || !overlay) return image;
  if (FreeImage_GetBPP(image.get()) != 24 || FreeImage_GetWidth(image.get()) != static_cast<unsigned>(width) ||
      FreeImage_GetHeight(image.get()) != static_cast<unsigned>(height))
    return image;
  if (p.angle > 0 && p.angle < 360) {
    // The rotated bitmap holds the whole turned overlay on a transparent ground.
    overlay = Bitmap(FreeImage_Rotate(overlay.get(), p.angle, nullptr));
    if (!overlay) return image;
  }
  if (FreeImage_GetBPP(overlay.get()) != 32) return image;
  const int ow = static_cast<int>(FreeImage_GetWidth(overlay.get()));
  const int oh = static_cast<int>(FreeImage_GetHeight(overlay.get()));
  const OverlaySpot spot = LocateOverlay(ow, oh, width, height, p, s);
  if (!spot.ok) return image;
  if (spot.w != ow || spot.h != oh) {
    overlay = Bitmap(FreeImage_Copy(overlay.get(), 0, 0, spot.w, spot.h));
    if (!overlay) return image;
  }
  CompositeOverlay(image.get(), overlay.get(), spot.x, spot.y);
  return image;
}

namespace {

// A 32-bit BMP usually leaves its fourth byte unused (zero); such a picture is
// opaque, not invisible.
bool AlphaAllZero(FIBITMAP* b) {
  const unsigned w = FreeImage_GetWidth(b), h = FreeImage_GetHeight(b);
  for (unsigned y = 0; y < h; ++y) {
    const BYTE* p = FreeImage_GetScanLine(b, y);
    for (unsigned x = 0; x < w; ++x)
      if (p[x * 4 + FI_RGBA_ALPHA] != 0) return false;
  }
  return true;
}

// The picture as 32 bits with alpha, or as 24 bits when it has no alpha.
Bitmap NormalisePicture(Bitmap pic, FREE_IMAGE_FORMAT fif, bool& hasAlpha) {
  hasAlpha = false;
  const FREE_IMAGE_TYPE type = FreeImage_GetImageType(pic.get());
  if (type == FIT_RGBA16) {
    hasAlpha = true;
    return Bitmap(FreeImage_ConvertTo32Bits(pic.get()));
  }
  if (type == FIT_RGB16) return Bitmap(FreeImage_ConvertTo24Bits(pic.get()));
  if (type != FIT_BITMAP) {
    pic = Bitmap(FreeImage_ConvertToStandardType(pic.get(), TRUE));
    if (!pic) return nullptr;
  }
  if (FreeImage_GetBPP(pic.get()) == 32) {
    hasAlpha = !(fif == FIF_BMP && AlphaAllZero(pic.get()));
    return pic;
  }
  if (FreeImage_IsTransparent(pic.get())) {
    // Palette transparency becomes the alpha channel.
    hasAlpha = true;
    return Bitmap(FreeImage_ConvertTo32Bits(pic.get()));
  }
  return Bitmap(FreeImage_ConvertTo24Bits(pic.get()));
}

}  // namespace

Bitmap RenderImageOverlay(const ConversionSettings& s) {
  if (s.image.empty()) return nullptr;
  // The picture is read afresh for every image: it may have gone since the run began.
  const FREE_IMAGE_FORMAT fif = FreeImage_GetFileType(s.image.c_str(), 0);
  if (fif != FIF_PNG && fif != FIF_JPEG && fif != FIF_BMP) return nullptr;
  bool hasAlpha = false;
  Bitmap pic = NormalisePicture(Bitmap(FreeImage_Load(fif, s.image.c_str(), 0)), fif, hasAlpha);
  if (!pic) return nullptr;
  const unsigned w = FreeImage_GetWidth(pic.get()), h = FreeImage_GetHeight(pic.get());
  Bitmap overlay(FreeImage_Allocate(w, h, 32, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
  if (!overlay) return nullptr;
  const uint32_t opacity = ClampOpacity(s.imageOpacity);
  const bool grey = s.imageGreyscale != 0;
  const unsigned step = FreeImage_GetBPP(pic.get()) / 8;
  for (unsigned y = 0; y < h; ++y) {
    const BYTE* src = FreeImage_GetScanLine(pic.get(), y);
    BYTE* dst = FreeImage_GetScanLine(overlay.get(), y);
    for (unsigned x = 0; x < w; ++x, src += step, dst += 4) {
      uint32_t r = src[FI_RGBA_RED], g = src[FI_RGBA_GREEN], b = src[FI_RGBA_BLUE];
      if (grey) r = g = b = (77 * r + 150 * g + 29 * b) >> 8;  // weights add up to 256: white stays 255
      dst[FI_RGBA_RED] = static_cast<BYTE>(r);
      dst[FI_RGBA_GREEN] = static_cast<BYTE>(g);
      dst[FI_RGBA_BLUE] = static_cast<BYTE>(b);
      dst[FI_RGBA_ALPHA] = static_cast<BYTE>(hasAlpha ? src[FI_RGBA_ALPHA] * opacity / 255 : opacity);
    }
  }
  return overlay;
}

Bitmap ApplyWatermark(Bitmap bitmap, int width, int height, const ConversionSettings& s, const ConversionRun& run) {
  if (s.doWatermark == 0 || !bitmap) return bitmap;
  if (FreeImage_GetBPP(bitmap.get()) != 24) {
    bitmap = Bitmap(FreeImage_ConvertTo24Bits(bitmap.get()));
    if (!bitmap) return bitmap;
  }
  if (s.doWatermark == 1) return PlaceOverlay(std::move(bitmap), RenderTextOverlay(s, run), width, height, TextPlacement(s), s);
  if (s.doWatermark == 2) return PlaceOverlay(std::move(bitmap), RenderImageOverlay(s), width, height, ImagePlacement(s), s);
  return bitmap;
}

// Geometric and tonal transforms. Until they are built they hand the bitmap on.
#include "engine/stages.h"

Bitmap RotateImage(Bitmap bitmap, const ConversionSettings&) { return bitmap; }
Bitmap ResizeImage(Bitmap bitmap, unsigned, unsigned, const ConversionSettings&) { return bitmap; }
void FlipImage(FIBITMAP*, const ConversionSettings&) {}
Bitmap AdjustImageColors(Bitmap bitmap, const ConversionSettings&) { return bitmap; }
Bitmap GreyscaleImage(Bitmap bitmap, const ConversionSettings&) { return bitmap; }
Bitmap ThresholdImage(Bitmap bitmap, const ConversionSettings&) { return bitmap; }

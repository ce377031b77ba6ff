// The per-image pipeline stages, in the order the pipeline calls them. A stage
// that returns a Bitmap takes ownership of the one it is given; every stage
// passes an absent bitmap through.
#pragma once

#include "engine/bitmap.h"
#include "engine/run.h"
#include "settings/settings.h"

Bitmap RotateImage(Bitmap bitmap, const ConversionSettings& s);
Bitmap ResizeImage(Bitmap bitmap, unsigned width, unsigned height, const ConversionSettings& s);
void FlipImage(FIBITMAP* bitmap, const ConversionSettings& s);
Bitmap AdjustImageColors(Bitmap bitmap, const ConversionSettings& s);
Bitmap GreyscaleImage(Bitmap bitmap, const ConversionSettings& s);
Bitmap ThresholdImage(Bitmap bitmap, const ConversionSettings& s);
// W and H are the image size read right after the resize stage.
Bitmap ApplyFrame(Bitmap bitmap, int width, int height, const ConversionSettings& s);
Bitmap ApplyWatermark(Bitmap bitmap, int width, int height, const ConversionSettings& s,
                      const ConversionRun& run);
// Brings the bitmap to run.targetDepth (choosing it first when automatic).
Bitmap ConvertOutputDepth(Bitmap bitmap, ConversionRun& run);

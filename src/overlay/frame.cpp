// Solid frame. Until it is built it hands the bitmap on.
#include "engine/stages.h"

Bitmap ApplyFrame(Bitmap bitmap, int, int, const ConversionSettings&) { return bitmap; }

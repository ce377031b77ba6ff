// Output colour depth and the encoder's save flags.
#pragma once

#include <string>

#include "settings/settings.h"

// First depth the format lists that is at least the source depth, else its largest.
int ChooseAutoDepth(const std::string& key, int sourceDepth);
// FreeImage save flags of an output format from its settings ("jpg": quality,
// chroma subsampling and encoding variant).
int SaveFlagsFor(const std::string& key, const ConversionSettings& s);

// The Windows side of a skin load: the image host, whose images are 32-bit DIB bitmaps of the
// framework (TBitmap, pf32bit), what the mask and section painting reads from the tables and
// the master bitmap (bitmaps made here belong to the caller), and the system's values that the
// window-free loaders take through their settings.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Graphics.h"

#include "skin/core/sSkinLoader.h"

class TsDibImageHost : public TsSkinImageHost {
public:
  // A TBitmap, a 32-bit DIB section. Raises EInvalidGraphic beyond the bounds, EOutOfResources
  // when the system refuses.
  std::unique_ptr<TObject> NewImage32(int width, int height) override;
  // The pixels of a 32-bit TBitmap (bottom-up: a negative stride); empty for anything else.
  TlxPixelBuffer Pixels(TObject* image) const override;
};

// Fills the settings' system hooks: system colours through the framework's ColorToRGB, the
// frame width from the system metrics (SM_CXFRAME).
void UseSystemValues(TsLoadSettings& settings);

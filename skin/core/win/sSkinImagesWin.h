// The image host of the Windows build: the images of a loaded skin are 32-bit DIB bitmaps of
// the framework (TBitmap, pf32bit), what the mask and section painting reads from the tables
// and the master bitmap. Bitmaps made here belong to the caller.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Graphics.h"

#include "skin/core/sSkinImages.h"

class TsDibImageHost : public TsSkinImageHost {
public:
  // A TBitmap, a 32-bit DIB section. Raises EInvalidGraphic beyond the bounds, EOutOfResources
  // when the system refuses.
  std::unique_ptr<TObject> NewImage32(int width, int height) override;
  // The pixels of a 32-bit TBitmap (bottom-up: a negative stride); empty for anything else.
  TlxPixelBuffer Pixels(TObject* image) const override;
};

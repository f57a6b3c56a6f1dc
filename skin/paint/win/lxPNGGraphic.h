// The PNG picture class of the framework: `TPNGGraphic`, a bitmap that loads PNG files (and
// Windows bitmap data, which stored pictures of this class may hold) through the window-free
// decoder of lxPNG.h and paints them with their alpha channel; the icon builders of the alpha
// image list; the two clean-up passes of the skin loader; and the registration of the "png"
// picture format. A TPNGGraphic owns its decoder (and with it the colour manager); icons made
// here come in their owners, for the caller.
#pragma once

#include <windows.h>

#include "framework/win/Graphics.h"
#include "skin/paint/lxPNG.h"
#include "skin/paint/sAlphaGraph.h"

class TPNGGraphic : public TBitmap {
  ORBEX_CLASS(TPNGGraphic, TBitmap)
public:
  TPNGGraphic();
  ~TPNGGraphic() override;

  // From another TPNGGraphic the image properties come along; the picture as any bitmap's.
  void Assign(TPersistent* source) override;
  // A 32-bit picture is blended over what the canvas shows (scaled, colour and alpha apart,
  // when r is not the picture's size); other formats paint as a bitmap.
  void Draw(TCanvas* canvas, const TRect& r) override;
  // Decodes the PNG at the stream's position, or reads a Windows bitmap ("BM"). Raises
  // EInvalidGraphic, EGraphicCompression, EColorConversionError or EReadError; the stream is
  // left where reading stopped.
  void LoadFromStream(TStream& stream) override;

  // A new icon with this picture as colour: the mask comes from the top-left pixel's colour
  // when keyByCorner is set or the picture is not 32-bit (which makes it 32-bit), else it is
  // all opaque and the alpha channel decides. Empty when the picture is empty or the system
  // refuses.
  TOwnedIcon MakeIcon(bool keyByCorner);

  const TPNGImageProperties& GetImageProperties() const { return FImageProperties; }
  TColorManager& GetColorManager() { return FDecoder.GetColorManager(); }
  TColor GetBackgroundColor() const { return FDecoder.GetBackgroundColor(); }
  const std::vector<Byte>& GetTransparency() const { return FDecoder.GetTransparency(); }
  bool GetReflected() const { return FReflected; }
  void SetReflected(bool on) { FReflected = on; }

private:
  class TBitmapTarget;
  TPNGDecoder FDecoder;
  TPNGImageProperties FImageProperties;
  bool FReflected = false;

  TlxPixelBuffer View32();
};

// A new icon of any bitmap over `background`; pixels whose alpha is 0
// are transparent in its mask. A bitmap that is not 32-bit is made 32-bit first, the key
// colour 0xFF00FF becoming transparent.
TOwnedIcon BitmapToIcon(TBitmap* bitmap, TColor background);

// Clean-up passes over 32-bit bitmaps (others are left as they are): transparent white
// becomes transparent black; colours are multiplied by their alpha.
void ClearTransparentWhite(TBitmap* bitmap);
void PremultiplyAlpha(TBitmap* bitmap);

// Start-up and shut-down of the unit: registers "png" with the picture formats (and the class
// by name, for stored pictures) and withdraws it. Counted: only the first start and the last
// stop act.
void InitPNGUnit();
void DonePNGUnit();

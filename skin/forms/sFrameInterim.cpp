// Interim stand-ins for the frame painting and the title buttons, which land in
// sSkinProviderPaint.cpp and sTitleButtons.cpp; until then the system draws the frame and
// answers the hit tests. This file goes when those land.
#include "skin/forms/sSkinProvider.h"

void TsSkinProvider::PaintFrameCache() {}

void TsSkinProvider::PaintNonClient() {
  if (FForm != nullptr && FForm->HandleAllocated()) DefWindowProcA(FForm->Handle(), WM_NCPAINT, 1, 0);
}

void TsSkinProvider::RedrawMenuLineItem(TMenuItem*, const TRect&, unsigned) {}
void TsSkinProvider::ResolveTitleButtonMasks() {}
void TsSkinProvider::PaintTitleButtons() {}
void TsSkinProvider::RepaintTitleButton(int) {}
void TsSkinProvider::SetHotElement(int code, bool) { HotElement = code; }

void TsSkinProvider::PressTitleButton(int code) {
  HotElement = code;
  ButtonPressed = true;
}

int TsSkinProvider::TitleHitTest(TPoint) { return HTCLIENT; }
bool TsSkinProvider::ReleaseTitleButton(int, TPoint) { return false; }
bool TsSkinProvider::DrawMenuLineItem(DRAWITEMSTRUCT&) { return false; }
bool TsSkinProvider::MeasureMenuLineItem(MEASUREITEMSTRUCT&) { return false; }

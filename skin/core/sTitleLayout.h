// The layout of a skinned title bar, window-free: where the title buttons stand (right to
// left, help set apart, user buttons after a gap), where the caption text goes and how it is
// aligned, which hit-test code a point of the window answers, the height of the frame cache
// and the size of the grip image. Cache coordinates as in sFormMetrics. Owns nothing.
//
// Sections: title buttons; caption; hit test; cache and grip.
#pragma once

#include <vector>

#include "framework/base/Types.h"
#include "skin/core/sFormMetrics.h"

// Hit-test codes the skinned frame answers (the system's numbers; 1000 + i for user button i).
constexpr int htcClient = 1, htcCaption = 2, htcSysMenu = 3, htcMenu = 5, htcMinButton = 8, htcMaxButton = 9;
constexpr int htcLeft = 10, htcRight = 11, htcTop = 12, htcTopLeft = 13, htcTopRight = 14;
constexpr int htcBottom = 15, htcBottomLeft = 16, htcBottomRight = 17, htcClose = 20, htcHelp = 21;
constexpr int htcUserButton = 1000;
// The buttons of a maximized MDI child on its MDI main form's menu line.
constexpr int htcMDIClose = 101, htcMDIRestore = 102, htcMDIMinimize = 103;

// ---------------------------------------------------------------------------------------------
// Title buttons.

// One button to place: its hit code, its image frame size and whether it is of the large set.
struct TsTitleButtonSpec {
  int Code = 0;
  int Width = 0, Height = 0;
  bool Big = false;
};
struct TsTitleRowInput {
  int CacheWidth = 0;
  int RightMargin = 0, Spacing = 0;   // the skin's title-button right margin and spacing
  int ShadowRight = 0, ShadowTop = 0;
  int FrameWidthExt = 0;   // frame width with the extended border
  int FrameWidth = 0;      // the plain frame width
  int CaptionHeight = 0;
  bool LargeSet = false;   // the form uses the large button set (spacing between user buttons)
  bool Zoomed = false;
  int VAlign = 0, TopMargin = 0;   // the skin's vertical alignment (1: by the top margin) and margin
  // System buttons in the order close, maximize, minimize, help (only those shown).
  std::vector<TsTitleButtonSpec> System;
  // Visible user buttons in collection order (their codes are 1000 + collection index).
  std::vector<TsTitleButtonSpec> User;
};
struct TsPlacedButton {
  int Code = 0;
  TRect Rect;
};
// Right to left from the right margin: each system button's right edge is where the previous
// one ended (less the spacing for large buttons), help 6 pixels further left; then 8 pixels of
// gap and the user buttons, the first one rightmost.
std::vector<TsPlacedButton> PlaceTitleButtons(const TsTitleRowInput& in);
// The top of a button of that height and set in the caption strip.
int TitleButtonTop(const TsTitleRowInput& in, int height, bool big);
// Width of the menu-line piece that holds a maximized MDI child's buttons.
constexpr int MDIButtonsAreaWidth = 60;
// A maximized MDI child's close, restore and minimize buttons in the last 60 pixels of the
// menu line ending at lineRight (exclusive), from lineTop, lineHeight high: three slots of a
// third each, close rightmost, each button buttonWidth x buttonHeight centred in its slot.
std::vector<TsPlacedButton> PlaceMDIButtons(int lineRight, int lineTop, int lineHeight, int buttonWidth,
                                            int buttonHeight);

// ---------------------------------------------------------------------------------------------
// Caption.

struct TsCaptionInput {
  int FrameWidthExt = 0, FrameWidth = 0, CaptionHeight = 0;
  int IconWidth = 0;       // 0 when no icon is shown
  int LeftMargin = 0;      // the skin's title-button left margin
  int ShadowLeft = 0, ShadowRight = 0, ShadowTop = 0;
  bool HasCaptionSection = false;
  int CacheWidth = 0, ButtonsWidth = 0;
  bool Zoomed = false;
  int TextWidth = 0, TextHeight = 0, AddedWidth = 0;
  int Alignment = 0;   // 0 left, 1 right, 2 centre (TAlignment's order)
  bool RightToLeft = false;
};
// The rectangle the caption text is drawn in: right of the icon, left of the buttons, centred
// in the caption strip and aligned; a right-aligned text too wide for it keeps its left edge.
TRect CaptionTextRect(const TsCaptionInput& in);

// ---------------------------------------------------------------------------------------------
// Hit test.

struct TsHitTestInput {
  TPoint Point;   // relative to the window (plus the shadow margins)
  int Width = 0, Height = 0;
  int FrameWidth = 0;    // for the borders
  int TopFrame = 0;      // the plain top frame
  int CaptionHeight = 0;
  int MenuLinesHeight = 0;   // lines x line height
  bool Zoomed = false, Iconic = false, ThickFrame = false;
  bool SystemButtons = false;   // the window has its system menu (taken by the provider)
  bool EnabledMax = false, EnabledMin = false, EnabledRestore = false;
  TRect Icon;
  // The placed buttons (PlaceTitleButtons) and which user buttons are enabled (by index).
  std::vector<TsPlacedButton> Buttons;
  std::vector<bool> UserEnabled;
  bool GripShown = false;
  TRect Grip;   // empty without a grip image
  // A maximized MDI child's buttons on the menu line (PlaceMDIButtons); empty otherwise.
  std::vector<TsPlacedButton> MDIButtons;
};
int TitleHitTestAt(const TsHitTestInput& in);

// ---------------------------------------------------------------------------------------------
// Cache and grip.

// The frame cache's height: the form's, or only caption + frame + 2 for an iconic form that is
// not the main form; with a border window grown by its extras, shadows and the menu line.
int FrameCacheHeight(const TsFormGeometry& f, const ISystemMetrics& sm, int menuLines);
// The grip image's frame size; an image count of 0 (bad skin data) counts as 1.
TPoint GripFrameSize(int maskWidth, int maskHeight, int imageCount, int maskType);
// Old skins kept colour where they meant transparency: every pixel of alpha below 255 whose
// colour channels differ loses a sixteenth of each channel and gains alpha by the spread of its
// channels: A + (510 - 2A) / sqrt(255 / spread), at most 255.
void MendOldSkinAlpha(const TlxPixelBuffer& px);

// The geometry of a skinned form's window image, window-free: frame and caption sizes, the
// client offset inside the frame cache, the menu lines, the title icon rectangle, the cache
// size, the grip point, the plan of the window region, the widths of the title buttons and the
// strip of the title bar saved under them. Everything is in pixels; "cache" coordinates are
// those of the form's frame cache (window coordinates plus the shadow margins of an
// extended-border window).
//
// The form is described by a plain TsFormGeometry (filled from a live form by
// skin/forms/sFormRegion) and the system's metrics come through ISystemMetrics, so the
// arithmetic runs under the sanitizers. Owns nothing.
//
// Sections: system metrics; form description; frame and caption; menu lines; cache and client
// offsets; title icon and grip; region plan; title buttons; title-button strip.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "framework/base/Types.h"
#include "skin/paint/sAlphaGraph.h"

struct TsSkinData;

// ---------------------------------------------------------------------------------------------
// System metrics, numbered as the system numbers them.
constexpr int smCxFrame = 32;       // sizing frame width
constexpr int smCxDlgFrame = 7;     // fixed (dialog) frame width
constexpr int smCyCaption = 4;      // caption height
constexpr int smCySmCaption = 51;   // small (tool window) caption height
constexpr int smCyMenu = 15;        // menu bar line height

struct ISystemMetrics {
  virtual ~ISystemMetrics() = default;
  virtual int Get(int index) const = 0;
};

// ---------------------------------------------------------------------------------------------
// Window style bits the geometry reads.
constexpr std::uint32_t wsfThickFrame = 0x00040000;
constexpr std::uint32_t wsfBorder = 0x00800000;
constexpr std::uint32_t wsfCaption = 0x00C00000;   // both caption bits (border and dialog frame)
constexpr std::uint32_t wsfChild = 0x40000000;
constexpr std::uint32_t wsfSysMenu = 0x00080000;

// The form's border style, in the order of the framework's TFormBorderStyle.
enum class TsFormBorder { None, Single, Sizeable, Dialog, ToolWindow, SizeToolWin };

// What the geometry needs of a form. Sizes of the form are its bounds; the window sizes are
// those of its window rectangle (they differ for an iconic form). Values that belong to the
// extended-border window are 0 (and HasBorderWindow false) while the form has none.
struct TsFormGeometry {
  std::uint32_t Style = 0, ExStyle = 0;
  TsFormBorder BorderStyle = TsFormBorder::Sizeable;
  int BorderWidth = 0;   // the form's own inner border
  bool Iconic = false, Zoomed = false, MainForm = false, MDIChild = false;
  bool HasMaxConstraints = false;   // a maximum width or height is set
  bool Docked = false;              // has a parent and docks by dragging
  bool Skinned = false;             // the provider draws the frame from a skin
  int Top = 0;                      // screen y of the window's top
  int FormWidth = 0, FormHeight = 0;
  int WindowWidth = 0, WindowHeight = 0;
  int ClientWidth = 0, ClientHeight = 0;
  TPoint WindowOrigin, ClientOrigin;   // screen coordinates
  int VScrollWidth = 0, HScrollHeight = 0;   // of the visible scroll bars, else 0
  // Main menu: assigned, item count, auto-merged, has a visible item; the bottom (screen y)
  // of its first item's rectangle, when the system can tell it.
  bool HasMainMenu = false;
  int MenuItemCount = 0;
  bool MenuAutoMerge = false, MenuHasVisibleItem = false;
  std::optional<int> FirstMenuItemBottom;
  // Extended-border window and its shadow margins.
  bool HasBorderWindow = false;
  int ShadowLeft = 0, ShadowTop = 0, ShadowRight = 0, ShadowBottom = 0;
  int ExtBorderWidthSkin = 0;   // the skin's extended border width
  int ExtTitleHeightSkin = 0;   // the skin's extended title height
  int ExtTitleExtra = 0;        // the border window's caption with extended title less without, less the frame
  int ExtCenterOffset = 0;      // the skin's extended centre offset
  bool SysExtendedHeight = false;
  // Title: the skin's title and maximized title heights, extended drawing mode, title-button
  // left and top margins; the form's title icon size (0: from the caption), ShowAppIcon, and
  // whether the window has a system menu.
  int TitleHeight = 0, MaxTitleHeight = 0, ExtDrawMode = 0;
  int TitleButtonLeftMargin = 0, TitleButtonTopMargin = 0;
  int TitleIconWidth = 0, TitleIconHeight = 0;
  bool ShowAppIcon = true, HasSystemMenu = false;
};

// Takes the skin-wide title values ("TITLEHEIGHT", "MAXHEIGHT" of the extended title, its
// drawing mode and centre offset, the title-button margins, the extended border width).
void ApplySkinGeometry(TsFormGeometry& f, const TsSkinData& skin);

// ---------------------------------------------------------------------------------------------
// Frame and caption.

// With useExtended and a border window whose skin gives an extended border width, that
// width; else the sizing frame for WS_THICKFRAME, the dialog frame for WS_BORDER, else 0.
int FrameBorderWidth(const TsFormGeometry& f, const ISystemMetrics& sm, bool useExtended);
// 0 with a border window (it draws the frame), else FrameBorderWidth.
int FrameBorderWidthPlain(const TsFormGeometry& f, const ISystemMetrics& sm);
// The small caption for the tool-window styles when not iconic, else the normal one.
int CaptionHeightFor(const TsFormGeometry& f, const ISystemMetrics& sm);
int ExtTitleHeight(const TsFormGeometry& f);
int ExtBorderWidth(const TsFormGeometry& f);
int ExtTitleExtraHeight(const TsFormGeometry& f);
int ExtBorderExtraWidth(const TsFormGeometry& f, const ISystemMetrics& sm);
bool SizeableWithoutCaption(std::uint32_t style);
bool DrawsFrame(const TsFormGeometry& f);
// 0 for a form without a frame or caption that is not iconic.
int CaptionHeight(const TsFormGeometry& f, const ISystemMetrics& sm, bool withExtTitle);
int FrameWidthPlusBorder(const TsFormGeometry& f, const ISystemMetrics& sm);
int FrameWidthExt(const TsFormGeometry& f, const ISystemMetrics& sm, bool useExtended);

// ---------------------------------------------------------------------------------------------
// Menu lines.

// The form shows its own menu bar: items, not auto-merged, not an MDI child or dialog.
int MenuLineHeight(const TsFormGeometry& f, const ISystemMetrics& sm);
// How many lines the menu bar wraps to, from where its first item ends; 0 without menu, when
// iconic or when the item's rectangle is unknown.
int MenuLineCount(const TsFormGeometry& f, const ISystemMetrics& sm);
bool HasMenuLine(const TsFormGeometry& f);

// ---------------------------------------------------------------------------------------------
// Cache and client offsets. `menuLines` is the provider's kept MenuLineCount.

int CacheWidth(const TsFormGeometry& f, const ISystemMetrics& sm);
int ClientOffsetX(const TsFormGeometry& f, const ISystemMetrics& sm);
int ClientOffsetY(const TsFormGeometry& f, const ISystemMetrics& sm, int menuLines);
// Height of the frame above the client area (menu lines included); never negative.
int TopStripHeight(const TsFormGeometry& f, const ISystemMetrics& sm);

// ---------------------------------------------------------------------------------------------
// Title icon, system menu, extended title, MDI buttons, grip.

// 1 up to 8 pixels of caption, 8 up to 16, else 16.
int TitleIconSizeFor(int captionHeight);
// The title icon in cache coordinates; width and height 0 when no icon is shown.
TRect IconRect(const TsFormGeometry& f, const ISystemMetrics& sm);
// Screen point where the skinned system menu is anchored.
TPoint SystemMenuOrigin(const TsFormGeometry& f, const ISystemMetrics& sm);
int ExtTitleOffset(const TsFormGeometry& f, const ISystemMetrics& sm);

// What the measures read of a button image of the skin. A separate image (of its own file)
// holds 3 frames across and 2 rows.
struct TsButtonImage {
  bool Exists = false;
  int Width = 0;         // the whole mask width
  int ImageCount = 1;    // frames side by side; 0 from bad skin data counts as 1
  int FrameHeight = 0;
  bool Separate = false;
  int FrameWidth() const;
};
// 16 when the skin has no MDI close image.
int MDIButtonWidth(const TsButtonImage& closeImage);
int MDIButtonHeight(const TsButtonImage& closeImage);
// Top-left of the size grip in the cache.
TPoint GripPoint(const TsFormGeometry& f, const ISystemMetrics& sm, int cacheWidth, int cacheHeight,
                 int gripWidth, int gripHeight);

// ---------------------------------------------------------------------------------------------
// Region plan: what UpdateRegion applies.

enum class TsRegionKind {
  Skip,        // nothing is done
  Remove,      // the window's region is removed
  Rectangle,   // Rect, in window coordinates
  CutAways,    // CreateRegion(0, 0): the cache width x form height less the cut-away rectangles
};
struct TsRegionPlan {
  TsRegionKind Kind = TsRegionKind::Skip;
  TRect Rect;
};
// The provider's region flags (changed starts True: the first update always applies), and the
// cache width and form height the window's region was last made for (0 before the first).
struct TsRegionFlags {
  bool Changed = true;
  bool Changing = false;
  int Width = 0, Height = 0;
};
// Whether the window's last region was made for another cache width or form height than the
// form has now.
bool RegionSizeChanged(const TsRegionFlags& flags, const TsFormGeometry& f, const ISystemMetrics& sm);
TsRegionPlan PlanFormRegion(const TsFormGeometry& f, const ISystemMetrics& sm, bool drawNonClientArea,
                            bool handleExists, bool inMenu);
// The cut-away rectangles moved by (x, y).
std::vector<TRect> OffsetRects(const std::vector<TRect>& rects, int x, int y);

// ---------------------------------------------------------------------------------------------
// Title buttons.

struct TsUserButtonInfo {
  bool Visible = true;
  bool HasGlyph = false;
  int GlyphWidth = 0;
};
struct TsTitleButtonsInput {
  int RightMargin = 0;   // the skin's title-button right margin
  int Spacing = 0;       // the skin's title-button spacing (large set only)
  bool LargeSet = false;
  bool SystemButtons = false;   // the window has a system menu and its style bit was taken
  bool VisibleMax = false, VisibleMin = false, ShowHelp = false;
  TsButtonImage Close, Max, Min, Help;
  TsButtonImage UserImage;   // "TITLEBUTTON"
  std::vector<TsUserButtonInfo> UserButtons;
};
// The larger of the glyph width + 2 and the user-button image's frame width (21 without one).
int UserButtonWidth(const TsUserButtonInfo& button, const TsButtonImage& userImage);
// Width of the title-button area; hidden user buttons take no room.
int TitleButtonsWidth(const TsTitleButtonsInput& in);

// The size of a taskbar thumbnail of a srcWidth x srcHeight image that fits the requested size
// keeping the image's aspect ratio; nullopt when a side is or becomes 0.
std::optional<TSize> FitThumbnail(int requestedWidth, int requestedHeight, int srcWidth, int srcHeight);

// ---------------------------------------------------------------------------------------------
// Title-button strip: the right end of the title bar kept without buttons, so that every
// repaint of the buttons starts from a clean bar.

struct TsTitleStrip {
  int X = 0;           // cache x of the strip's left edge (negative on narrow forms)
  int Width = 0, Height = 0;
  int SaveRows = 0;    // rows copied by a save (all or only frame + caption)
};
TsTitleStrip TitleButtonsStrip(const TsFormGeometry& f, const ISystemMetrics& sm, int titleButtonsWidth,
                               int cacheWidth, bool whole);
// Copies the strip's saved rows of the cache into the work buffer's top-left, and back: a
// restore with the strip of the last save writes back exactly what was saved, never rows of
// the work buffer that a partial save left stale. Both clipped to both buffers (the strip
// starts left of the cache on narrow forms); 32-bit buffers only.
void SaveTitleStrip(const TlxPixelBuffer& work, const TlxPixelBuffer& cache, const TsTitleStrip& strip);
void RestoreTitleStrip(const TlxPixelBuffer& cache, const TlxPixelBuffer& work, const TsTitleStrip& strip);

// The skinned status bar: the framework's status bar drawn from its skin section (default
// "STATUSBAR") into the skin data's cache bitmap: the parent's background under the section,
// a "STATUSPANELMASK" per panel or else a "DIVIDER" strip between panels, the panel texts in
// the section's colours and contours, and the "GRIPIMAGE" size grip. The system control keeps
// the parts and texts; what it holds is read back when the cache is rebuilt. Owns its SkinData.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/win/ComCtrls.h"
#include "skin/core/win/sCommonData.h"

// Width the size grip keeps free at the right end.
constexpr int StatusGripWidth = 18;

// The rectangles of the panels of a bar `width` x `height`: one area (0, 1, width - 1,
// height - 1) for a simple bar or no panels, else the panels side by side from the left, the
// last one ending at the bar's width; both less the grip's width when a grip is shown.
std::vector<TRect> StatusPanelRects(const std::vector<int>& panelWidths, bool simple, bool grip, int width,
                                    int height);

// The frame of one part of a status bar's cache: the section's "STATUSPANELMASK" over the
// part (the whole cache for a simple bar), or without it a "DIVIDER" strip at the part's right
// edge unless it is the last. `Part` is the part's rectangle, `Inner` the same shrunk by 1.
struct TsStatusPartFrame {
  TRect Part, Inner;
  bool Last = false, Simple = false;
  int PanelMask = -1, DividerMask = -1;
};
void PaintStatusPartFrame(TBitmap* cache, const TsSkinTables* t, TBitmap* master, const TsStatusPartFrame& part);
// The mask indexes the part frames use: the section's "STATUSPANELMASK" (inherited) and the
// "DIVIDER" section's border mask; -1 when missing.
int StatusPanelMask(const TsSkinTables* t, const TsCommonData* data);
int StatusDividerMask(const TsSkinTables* t);

class TsStatusBar : public TStatusBar {
  ORBEX_CLASS(TsStatusBar, TStatusBar)
public:
  explicit TsStatusBar(TComponent* AOwner);
  ~TsStatusBar() override;
  void Loaded() override;

  TsCommonData* SkinData() const { return FSkinData.get(); }
  // The panel rectangles of the bar as it is now (in cache coordinates).
  std::vector<TRect> PanelRects();
  // The text the system control holds for panel i (the simple text for -1), without the
  // alignment tabs.
  std::string PanelText(int i);
  // Rebuilds the cache bitmap: background, panel masks or dividers, texts, grip.
  void RebuildCache();

protected:
  void WndProc(TMessage& Message) override;

private:
  bool SkinCommandFirst(TMessage& Message);
  // Whether the cache must be rebuilt before it is shown: the background changed, the bar or
  // its parent is partly hidden, or the cache is not the bar's size.
  bool CacheStale();
  // Rebuilds the cache and copies its border ring (the border mask's width) into DC, which
  // covers the whole window.
  void PaintFrameTo(HDC DC);
  // The client's part of the cache into DC (client coordinates), then the graphic children.
  void PaintCacheTo(HDC DC);
  bool GripShown();

  std::unique_ptr<TsCommonData> FSkinData;
};

// Start-up step of the unit: registers TsStatusBar for stored forms.
void InitStatusBarUnit();

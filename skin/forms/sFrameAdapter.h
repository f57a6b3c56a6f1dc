// The frame adapter: a component placed on a frame that gives the frame a skin section, takes
// over its window method, paints its background from the skin through a cache bitmap, answers
// the skin's commands for it and passes them on to the frame's children.
//
// Ownership: the frame owns the adapter (it must be its owner); the adapter owns its skin data
// and the scroll adapter of the frame's bars. The frame's window method is borrowed: it is put
// back only while the adapter's is the one in place. GUI thread only.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject.
#include "framework/win/Forms.h"

#include <windows.h>

#include <memory>

#include "framework/base/Classes.h"
#include "skin/adapters/lxMethodHook.h"

class TsCommonData;
class TlxScrollWnd;

// The control kind of a frame's skin data.
constexpr int FrameAdapterControlKind = 226;

class TsFrameAdapter : public TComponent {
  ORBEX_CLASS(TsFrameAdapter, TComponent)
public:
  // Raises the UI string "TsFrameAdapter adapter must be placed on the handled frame" for an
  // owner that is not a frame (nothing is left then); else makes the skin data (section
  // "GROUPBOX" when none is named) and takes over the frame's window method.
  explicit TsFrameAdapter(TComponent* AOwner);
  // The scroll adapter freed, the frame's window method given back, the skin data freed.
  ~TsFrameAdapter() override;
  // Resolves the section when the frame is skinned or has no window yet.
  void AfterConstruction() override;
  // With a skinned frame and a manager: the section resolved; with an active skin the frame's
  // popup menus hooked and, under the third-party rule, its form asked to adopt its controls.
  void Loaded() override;

  TsCommonData* SkinData() const { return FSkinData.get(); }
  TFrame* Frame() const { return FFrame; }
  TlxScrollWnd* ScrollAdapter() const { return FScrollAdapter.get(); }

  // The frame's paint: its whole area invalidated first unless its data asks for a full
  // repaint anyway; the background painted into `dc` (the frame's window DC for none).
  void PaintFrame(HDC dc);
  // The background from the skin (the parent's image for a see-through section without mask,
  // else the cache), then the graphic children; unskinned the frame's colour and the section's
  // border. Nothing for no DC, or during a form animation unless `dc` is the print DC.
  void PaintBackground(HDC dc);
  // The cache rebuilt when the background changed.
  void UpdateBackground();
  // Times the cache was rebuilt (a test seam).
  int CacheBuilds() const { return FCacheBuilds; }

private:
  void WndProc(TMessage& message);
  // Stage 1: true when the command was answered.
  bool SkinCommandStage(TMessage& message);
  void UnskinnedStage(TMessage& message);
  void SkinnedStage(TMessage& message);
  void SkinnedCommand(TMessage& message);
  void CallOld(TMessage& message) { FHook.CallPrevious(message); }
  void HookPopupMenus();
  void AskFormToAdopt();
  void RedrawWhole();
  // Top-left or bottom-right pixel outside the parent's client area.
  bool HalfHidden() const;
  void BuildCache();
  TColor QueryColor();

  TFrame* FFrame = nullptr;
  std::unique_ptr<TsCommonData> FSkinData;
  std::unique_ptr<TlxScrollWnd> FScrollAdapter;
  TlxMethodHook FHook;
  bool FWasHalfHidden = false;
  int FCacheBuilds = 0;
};

// Start-up step of the unit: registers the frame adapter by name.
void InitFrameAdapterUnit();

// The virtual tree adapter: foreign virtual tree controls, reached only through their
// published properties, keep the edit adapter's frame, scroll bars and colours; their file
// colours ("VETColors"), info column and header take the skin's colours, and their header is
// drawn by the skin through the control's owner-draw events, column by column as a list view's.
//
// Ownership: the control's own colours, header options and header-draw handlers are read at
// attach and given back when the adapter detaches; a handler is given back only while the
// adapter's own is still installed (one the application set meanwhile stays). GUI thread only.
#pragma once

#include "skin/adapters/lxEditWnd.h"

#include <cstdint>
#include <functional>

class TCanvas;

// What a virtual tree hands its header-draw handlers: where to draw, the column (an object
// publishing "Text", "Index" and "Options"; null for the area right of the columns) and its
// state.
struct TlxHeaderPaintInfo {
  TCanvas* TargetCanvas = nullptr;
  TObject* Column = nullptr;
  TRect PaintRectangle;
  bool IsHoverIndex = false;
  bool IsDownIndex = false;
};
// The two header-draw events the adapter handles; a control whose events have other types
// keeps its own handlers.
using TlxAdvancedHeaderDrawEvent =
    std::function<void(TObject* Sender, TlxHeaderPaintInfo& PaintInfo, std::uint32_t Elements)>;
using TlxHeaderDrawQueryElementsEvent =
    std::function<void(TObject* Sender, TlxHeaderPaintInfo& PaintInfo, std::uint32_t& Elements)>;

// The header elements the skin draws: background, the header's own, text and glyphs... (bits
// 0, 1, 3 and 4).
constexpr std::uint32_t lxSkinnedHeaderElements = 27;

class TlxVirtualTreeViewWnd : public TlxEditWnd {
public:
  // Gives the control its colours and handlers back first.
  ~TlxVirtualTreeViewWnd() override;

  void StoreControlColors() override;
  void RestoreControlColors() override;
  void ApplySkinColors() override;
  void HandleMessage(TMessage& message) override;

  TlxVirtualTreeViewWnd() = default;   // made through CreateForHandle

private:
  // The header-draw handler: each column from the skin's header section.
  void DrawHeader(TObject* sender, TlxHeaderPaintInfo& info);
  void InstallHandlers(TObject* tree);

  TColor FTextColors[3] = {0, 0, 0};
  bool FColorsSaved = false;
  bool FOwnerDraw = false;
  // The control's own handlers, and whether its events are of the types above.
  TlxAdvancedHeaderDrawEvent FOldDraw;
  TlxHeaderDrawQueryElementsEvent FOldQuery;
  bool FHandlersKnown = false;
};

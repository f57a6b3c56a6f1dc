// Which window adapter the thread hook gives a child window of a skinned system dialog, decided
// from the child's lower-case class name and its style words alone. Window-free; owns nothing.
#pragma once

#include <cstdint>
#include <string_view>

// The adapter kinds a dialog child can get. Kinds whose adapters are not built yet are still
// reported, so that the caller can tell "not yet" from "never".
enum class TlxChildKind : std::uint8_t {
  None,
  Static,       // text of a static control
  Edge,         // an icon or bitmap static with a static edge
  Icon,         // an icon or bitmap static
  TransPanel,   // a nested dialog or the folder browser's panel
  Panel,
  SilentPanel,
  Edit,
  GroupBox,
  CheckBox,
  Button,
  ComboBox,
  Sizer,
  TabControl,
  ListView,
  Spin,
  TrackBar,
  Link,
  ToolBar,
  TreeView,
};

struct TlxChildRule {
  TlxChildKind Kind = TlxChildKind::None;
  const char* Section = "";
  // The edit-like adapters of a dialog take the dialog's background and measure themselves
  // against it (the adapters' dialog mode).
  bool DialogMode = false;
  // A child that paints the dialog's client area itself: the dialog may paint its own client.
  bool ClearsPaintForbidden = false;
  // The adapter repaints its frame at once when the dialog's frame cache is already painted.
  bool RepaintWhenCached = false;
};

// `lowerClass`: the child's class name in lower case; `style`, `exStyle`: its GWL_STYLE and
// GWL_EXSTYLE; `visible`: WS_VISIBLE of the child. Statics and buttons are told apart by their
// exact type (the low bits are a number, not a set of flags): an owner-drawn, metafile,
// frame or etched static and an owner-drawn button get no adapter.
TlxChildRule ChildAdapterRule(std::string_view lowerClass, std::uint32_t style, std::uint32_t exStyle,
                              bool visible);

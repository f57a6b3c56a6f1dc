// The dialog children's adapter table (see lxProviderCore.h).
#include "skin/core/lxProviderCore.h"

namespace {

constexpr std::uint32_t StaticEdgeEx = 0x00020000;   // WS_EX_STATICEDGE
constexpr std::uint32_t SizeBoxStyle = 0x10;         // SBS_SIZEBOX
constexpr std::uint32_t OwnerDrawTabs = 0x2000;      // TCS_OWNERDRAWFIXED
constexpr std::uint32_t FlatToolBar = 0x200;         // TBSTYLE_WRAPABLE: a tool bar of its own

TlxChildRule StaticRule(std::uint32_t style, std::uint32_t exStyle) {
  switch (style & 0x1F) {
    case 0x0: case 0x1: case 0x2: case 0xC:   // left, centre, right, left without word wrap
      return {TlxChildKind::Static, "CHECKBOX"};
    case 0x3: case 0xE:                        // icon, bitmap
      if (exStyle & StaticEdgeEx) return {TlxChildKind::Edge, "EDIT"};
      return {TlxChildKind::Icon, "CHECKBOX"};
    default:   // simple text keeps its own drawing; owner-drawn, metafile, frames and lines too
      return {};
  }
}

TlxChildRule ButtonRule(std::uint32_t style) {
  switch (style & 0xF) {
    case 0x7:
      return {TlxChildKind::GroupBox, "GROUPBOX"};
    case 0x2: case 0x3: case 0x4: case 0x5: case 0x6: case 0x9:   // check boxes, radio buttons
      return {TlxChildKind::CheckBox, "CHECKBOX"};
    case 0xB:   // owner-drawn
      return {};
    default:
      return {TlxChildKind::Button, "BUTTON"};
  }
}

}  // namespace

TlxChildRule ChildAdapterRule(std::string_view cls, std::uint32_t style, std::uint32_t exStyle,
                              bool visible) {
  using K = TlxChildKind;
  if (cls == "static") return StaticRule(style, exStyle);
  if (cls == "button") return ButtonRule(style);
  if (cls == "edit") return visible ? TlxChildRule{K::Edit, "EDIT", true, true, true} : TlxChildRule{};
  if (cls == "#32770" || cls == "shbrowseforfolder") return {K::TransPanel, "CHECKBOX"};
  if (cls == "tpanel") return {K::Panel, "CHECKBOX"};
  if (cls == "tsilentpaintpanel") return {K::SilentPanel, "GROUPBOX"};
  if (cls == "combobox") return {K::ComboBox, "COMBOBOX", true, true, true};
  if (cls == "combolbox") return {K::Edit, "COMBOBOX", false, true};
  if (cls == "comboboxex32") return {K::ComboBox, "COMBOBOX", false, true};
  if (cls == "scrollbar") return (style & SizeBoxStyle) ? TlxChildRule{K::Sizer, "CHECKBOX"} : TlxChildRule{};
  if (cls == "systabcontrol32") return (style & OwnerDrawTabs) ? TlxChildRule{} : TlxChildRule{K::TabControl, "PAGECONTROL"};
  if (cls == "syslistview32") return {K::ListView, "EDIT", true};
  if (cls == "msctls_updown32") return {K::Spin, "SPEEDBUTTON_SMALL"};
  if (cls == "msctls_trackbar32") return {K::TrackBar, "TRACKBAR"};
  if (cls == "listbox") return {K::Edit, "EDIT", true, true};
  if (cls == "link window" || cls == "syslink") return {K::Link, "CHECKBOX"};
  if (cls == "toolbarwindow32") return {K::ToolBar, (style & FlatToolBar) ? "BAR" : "CHECKBOX"};
  if (cls == "systreeview32") return {K::TreeView, "EDIT", true};
  return {};
}

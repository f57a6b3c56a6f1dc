// The panel adapters: TlxPanelWnd paints a framework panel (or a bare panel window) from a
// skin section chosen by its bevels ("PANEL", "PANEL_LOW", "GROUPBOX", "CHECKBOX") with its
// caption, its child controls left out and refreshed; TlxTransPanelWnd shows only its parent's
// image behind its children.
//
// Ownership: the owner panel is borrowed from the skin data; the cache image belongs to the
// skin data. GUI thread only.
#pragma once

#include "skin/adapters/lxSBUtils.h"

#include <string>

class TCustomPanel;

class TlxPanelWnd : public TlxMainWnd {
public:
  void HandleMessage(TMessage& message) override;

  // The owning panel control; null for a bare window.
  TCustomPanel* OwnerPanel() const;

  TlxPanelWnd() = default;   // made through CreateForHandle

protected:
  // The section from the owner panel's bevels when none is given.
  void TakeSection(const std::string& section) override;
  // Command 23: the cache rebuilt.
  void RebuildCache() override { PrepareCache(); }

  // The section item over the parent's background, the caption in the client area.
  virtual void PrepareCache();
  // The client area (inside the frame) into `given`, or the window DC when null; the child
  // controls left out, graphic children painted over, child windows refreshed.
  virtual void Paint(HDC given);

private:
  void DrawCaption(const TRect& r);
  // The frame (window less client area) copied from the cache into `given` or the window DC.
  void PaintFrame(HDC given);
  // Whether the window is wider or taller than its client area.
  bool HasFrame() const;
};

class TlxTransPanelWnd : public TlxMainWnd {
public:
  void HandleMessage(TMessage& message) override;

  TlxTransPanelWnd() = default;   // made through CreateForHandle

protected:
  // Command 23: the cache becomes the parent's background behind the window.
  void RebuildCache() override;

private:
  virtual void Paint(HDC given);
};

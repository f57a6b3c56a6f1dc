// The combo-box adapters. TlxComboListWnd skins a combo box's drop-down list (or the always
// visible list of a simple combo): its frame from the skin, its scroll bars skinned, its area
// in the adapter's colour. The adapters' start-up step fills the skinned combo box's list
// links (FillComboListLinks), so that the box (skin/controls sComboBox) makes and frees these
// lists without knowing the adapters.
//
// Ownership: a list adapter owns what TlxEditWnd owns; the skinned combo box owns the adapter
// it made through the links. GUI thread only.
#pragma once

#include "skin/adapters/lxEditWnd.h"

#include <memory>
#include <string>

class TlxComboListWnd : public TlxEditWnd {
public:
  // Attached to the list (section `section`, the manager, the skin data or an own one); a
  // drop-down list is resized by a pixel and back so that its skinned frame is measured.
  static std::unique_ptr<TlxComboListWnd> CreateForCombo(HWND list, bool simpleList, bool repaintFrame,
                                                         const std::string& section, TsSkinManager* manager,
                                                         TsCommonData* skinData);
  // The list's visual style given back.
  ~TlxComboListWnd() override;
  void HandleMessage(TMessage& message) override;

  bool SimpleList() const { return FSimpleList; }
  // Between the list's own start- and end-tracking messages (0x1AE, 0x1AF).
  bool Showing() const { return FShowing; }

  // Made through CreateForCombo.
  TlxComboListWnd() = default;
  explicit TlxComboListWnd(bool simpleList) : FSimpleList(simpleList) {}

protected:
  // A dropped list's frame is plain: the adapter's colour outlined in the skin's border
  // colour. A simple list keeps the edit frame.
  void RebuildCache() override;
  // A dropped list keeps the capture its combo box gave it when a press on its bar ends: the
  // list closes on the next click elsewhere only while it holds it.
  bool KeepsCaptureAfterBar() const override;

private:
  // A simple list: the strip between the list and the bottom of the box's area filled with the
  // background of the box's parent.
  void FillStripBelow();

  bool FSimpleList = false;
  bool FShowing = false;
};

// The adapter of a system combo box: its frame from the skin data's cache, the drop-down
// button from "COMBOBTN" with the arrow, and its list skinned by a TlxComboListWnd made the
// first time the list asks for its colours.
class TlxComboBoxWnd : public TlxEditWnd {
public:
  // The list adapter released and freed before the skin data it paints from.
  ~TlxComboBoxWnd() override;
  void HandleMessage(TMessage& message) override;

  HWND ListHandle() const { return FListHandle; }
  TlxComboListWnd* ListAdapter() const { return FListAdapter.get(); }
  // The drop-down button in window coordinates (empty for a simple combo).
  virtual void GetButtonRect(TRect& rect) const;

  TlxComboBoxWnd() = default;   // made through CreateForHandle

protected:
  // "COMBOBOX" when none is given.
  void TakeSection(const std::string& section) override;

private:
  void ForgetList(bool plainFrame);
  void MakeList(HWND list);
  void ListColors(TMessage& message);
  void PaintFrameAndButton(HDC dc);
  void PaintButton(HDC dc, TBitmap* cache);
  // A simple combo's cache: its edit field's height (item height + 8), the frame plain in
  // dialog mode.
  void PrepareSimpleCache();
  // The selected item's text (or the window's) drawn into the cache beside the button.
  void DrawCurrentText(TBitmap* cache);
  void Print(TMessage& message);
  void Repaint();
  void MouseEnterLeave(TMessage& message);

  HWND FListHandle = nullptr;
  std::unique_ptr<TlxComboListWnd> FListAdapter;
  std::unique_ptr<TsCommonData> FListSkinData = std::make_unique<TsCommonData>(nullptr, 0);
  bool FListOpening = false;
  // The list's background brush, one per adapter, made anew only when the colour changes.
  TOwnedBrush FListBrush;
  TColor FListBrushColor = -1;
};

// The adapter of a foreign combo edit control (a framework control of a class the skin's
// foreign-combo list names): the combo adapter on the control's window, with or without a
// drop-down button, and the control's inner edit window, when it has one, skinned by an edit
// adapter in section "EDIT" with skin data of its own.
class TlxWWComboBoxWnd : public TlxComboBoxWnd {
public:
  // Made for the control object itself (its window made when needed). A framework combo box of
  // the simple or owner-drawn styles has no button; any other control has one.
  static std::unique_ptr<TlxWWComboBoxWnd> CreateForControl(TWinControl* control, bool repaintFrame,
                                                            const std::string& section, TsSkinManager* manager,
                                                            TsCommonData* skinData);
  // The inner edit's adapter released and freed before the data it reads.
  ~TlxWWComboBoxWnd() override;
  void HandleMessage(TMessage& message) override;
  void GetButtonRect(TRect& rect) const override;

  bool HasButton() const { return FHasButton; }
  HWND EditHandle() const { return FEditHandle; }
  TlxEditWnd* EditAdapter() const { return FEditAdapter.get(); }

  TlxWWComboBoxWnd() = default;   // made through CreateForControl

private:
  bool FHasButton = true;
  HWND FEditHandle = nullptr;
  std::unique_ptr<TsCommonData> FEditSkinData;
  std::unique_ptr<TlxEditWnd> FEditAdapter;
};

// Fills the skinned combo box's list links (make: a list adapter in section "EDIT"; free: the
// adapter released and freed), and empties them again.
void FillComboListLinks();
void ClearComboListLinks();

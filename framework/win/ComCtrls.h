// Common controls: the status bar ("msctls_statusbar32"), the tool bar ("ToolbarWindow32")
// with its tool buttons, and the cool bar ("ReBarWindow32") with its bands, each registered
// under the framework's class name by superclassing the system class.
//
// Owns: each bar its window (through TWinControl), its collection of panels or bands, the
// canvas it lends to owner-draw and custom-draw handlers, and its image-list change links.
// Tool buttons are controls of the tool bar (their owner frees them); the bar keeps a list.
//
// Sections: edge borders; TStatusPanel(s), TStatusBar; TToolButton, TToolBar; TCoolBand(s),
// TCoolBar.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/win/Controls.h"
#include "framework/win/ImgList.h"
#include "framework/win/Menus.h"
#include "framework/win/StdCtrls.h"

// Edges a bar draws around itself (an etched line on each edge in the set).
using TEdgeBorders = std::uint8_t;
enum TEdgeBorder : std::uint8_t { ebLeft = 0x1, ebTop = 0x2, ebRight = 0x4, ebBottom = 0x8 };
// The two one-pixel lines of a tool bar's edge, each raised, lowered or left out.
enum TEdgeStyle { esNone, esRaised, esLowered };

// ---------------------------------------------------------------------------------------------
class TStatusBar;

enum TStatusPanelStyle { psText, psOwnerDraw };
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusPanel : public TCollectionItem {
  ORBEX_CLASS(TStatusPanel, TCollectionItem)
public:
  explicit TStatusPanel(TCollection* Collection);
  const std::string& Text() const { return FText; }
  void SetText(const std::string& v);
  int Width() const { return FWidth; }
  void SetWidth(int v);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);
  TStatusPanelStyle Style() const { return FStyle; }
  void SetStyle(TStatusPanelStyle v);
  TStatusPanelBevel Bevel() const { return FBevel; }
  void SetBevel(TStatusPanelBevel v);
  void Assign(TPersistent* Source) override;

private:
  std::string FText;
  int FWidth = 50;
  TAlignment FAlignment = taLeftJustify;
  TStatusPanelStyle FStyle = psText;
  TStatusPanelBevel FBevel = pbLowered;
};

class TStatusPanels : public TCollection {
  ORBEX_CLASS(TStatusPanels, TCollection)
public:
  explicit TStatusPanels(TStatusBar* StatusBar);
  TStatusPanel* Items(int i) const { return static_cast<TStatusPanel*>(TCollection::Items(i)); }
  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }

protected:
  void Update(TCollectionItem* Item) override;

private:
  TStatusBar* FStatusBar;
};

using TDrawPanelEvent =
    std::function<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

class TStatusBar : public TWinControl {
  ORBEX_CLASS(TStatusBar, TWinControl)
public:
  explicit TStatusBar(TComponent* AOwner);
  ~TStatusBar() override;

  TStatusPanels* Panels() const { return FPanels.get(); }
  void SetPanels(TStatusPanels* v) { FPanels->Assign(v); }
  // One panel across the whole bar showing SimpleText instead of the panels.
  bool SimplePanel() const { return FSimplePanel; }
  void SetSimplePanel(bool v);
  const std::string& SimpleText() const { return FSimpleText; }
  void SetSimpleText(const std::string& v);
  bool SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool v);
  TCanvas* Canvas() const { return FCanvas.get(); }
  // Puts the panels (parts, texts, styles) into the window.
  void UpdatePanels();
  void Dispatch(TMessage& Message) override;

  TDrawPanelEvent OnDrawPanel;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  virtual void DrawPanel(TStatusPanel* Panel, const TRect& Rect);

private:
  std::unique_ptr<TStatusPanels> FPanels;
  std::unique_ptr<TCanvas> FCanvas;
  bool FSimplePanel = false;
  std::string FSimpleText;
  bool FSizeGrip = true;
};

// ---------------------------------------------------------------------------------------------
class TToolBar;

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolButton : public TGraphicControl {
  ORBEX_CLASS(TToolButton, TGraphicControl)
public:
  explicit TToolButton(TComponent* AOwner);
  ~TToolButton() override;

  TToolButtonStyle Style() const { return FStyle; }
  void SetStyle(TToolButtonStyle v);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int v);
  // Pressed state of a check button.
  bool Down() const;
  void SetDown(bool v);
  bool Grouped() const { return FGrouped; }
  void SetGrouped(bool v);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool v) { FAllowAllUp = v; }
  bool Wrap() const { return FWrap; }
  void SetWrap(bool v);
  bool Indeterminate() const { return FIndeterminate; }
  void SetIndeterminate(bool v);
  bool Marked() const { return FMarked; }
  void SetMarked(bool v);
  TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
  void SetDropdownMenu(TPopupMenu* v);
  // Position among the tool bar's buttons (-1 outside a tool bar).
  int Index() const;
  TToolBar* ToolBar() const { return FToolBar; }

  void SetParent(TWinControl* AParent) override;
  void Click() override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  void Dispatch(TMessage& Message) override;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Something the tool bar shows changed.
  void Changed();

private:
  friend class TToolBar;
  TToolBar* FToolBar = nullptr;
  TToolButtonStyle FStyle = tbsButton;
  int FImageIndex = -1;
  bool FDown = false;
  bool FGrouped = false;
  bool FAllowAllUp = false;
  bool FWrap = false;
  bool FIndeterminate = false;
  bool FMarked = false;
  TPopupMenu* FDropdownMenu = nullptr;
};

using TCustomDrawStage = std::uint32_t;   // the system's CDDS_ value
// TCustomDrawState (framework/base/Types.h) names the system's CDIS_ bits.
static_assert(cdsSelected == CDIS_SELECTED && cdsGrayed == CDIS_GRAYED && cdsDisabled == CDIS_DISABLED &&
              cdsChecked == CDIS_CHECKED && cdsFocused == CDIS_FOCUS && cdsDefault == CDIS_DEFAULT &&
              cdsHot == CDIS_HOT && cdsMarked == CDIS_MARKED && cdsIndeterminate == CDIS_INDETERMINATE);
using TTBCustomDrawEvent =
    std::function<void(TToolBar* Sender, const TRect& ARect, bool& DefaultDraw)>;
using TTBCustomDrawBtnEvent = std::function<void(TToolBar* Sender, TToolButton* Button,
                                                 TCustomDrawState State, bool& DefaultDraw)>;
// The stage of an advanced custom-draw event: the system's CDDS_ value without the item bit.
constexpr TCustomDrawStage cdPrePaint = CDDS_PREPAINT, cdPostPaint = CDDS_POSTPAINT,
                           cdPreErase = CDDS_PREERASE, cdPostErase = CDDS_POSTERASE;
// What the system leaves out of a button it still draws (turned into its TBCDRF_ values).
using TTBCustomDrawFlags = std::uint32_t;
constexpr TTBCustomDrawFlags tbNoEdges = 0x1, tbHiliteHotTrack = 0x2, tbNoOffset = 0x4, tbNoMark = 0x8,
                             tbNoEtchedEffect = 0x10;
using TTBAdvancedCustomDrawEvent =
    std::function<void(TToolBar* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw)>;
using TTBAdvancedCustomDrawBtnEvent =
    std::function<void(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, TCustomDrawStage Stage,
                       TTBCustomDrawFlags& Flags, bool& DefaultDraw)>;

class TToolBar : public TWinControl {
  ORBEX_CLASS(TToolBar, TWinControl)
public:
  explicit TToolBar(TComponent* AOwner);
  ~TToolBar() override;

  int ButtonCount() const { return static_cast<int>(FButtons.size()); }
  TToolButton* Buttons(int i) const { return FButtons.at(static_cast<size_t>(i)); }
  int ButtonWidth() const { return FButtonWidth; }
  void SetButtonWidth(int v);
  int ButtonHeight() const { return FButtonHeight; }
  void SetButtonHeight(int v);
  bool Flat() const { return FFlat; }
  void SetFlat(bool v);
  bool ShowCaptions() const { return FShowCaptions; }
  void SetShowCaptions(bool v);
  // Captions beside the images instead of below them.
  bool List() const { return FList; }
  void SetList(bool v);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* v);
  TCustomImageList* HotImages() const { return FHotImages; }
  void SetHotImages(TCustomImageList* v);
  TCustomImageList* DisabledImages() const { return FDisabledImages; }
  void SetDisabledImages(TCustomImageList* v);
  TEdgeBorders EdgeBorders() const { return FEdgeBorders; }
  void SetEdgeBorders(TEdgeBorders v);
  TEdgeStyle EdgeInner() const { return FEdgeInner; }
  void SetEdgeInner(TEdgeStyle v);
  TEdgeStyle EdgeOuter() const { return FEdgeOuter; }
  void SetEdgeOuter(TEdgeStyle v);
  // The lines of each edge in EdgeBorders: one pixel for each of EdgeInner, EdgeOuter that is
  // not esNone.
  int EdgeLines() const { return (FEdgeInner != esNone ? 1 : 0) + (FEdgeOuter != esNone ? 1 : 0); }
  int Indent() const { return FIndent; }
  void SetIndent(int v);
  TCanvas* Canvas() const { return FCanvas.get(); }

  // Puts every button into the window again (after any change of the buttons).
  void RecreateButtons();
  // Item rectangle of a button in the bar's client coordinates (empty when not shown).
  TRect ButtonRect(int Index) const;
  // Mouse messages go to the system's tool bar, not to the button controls over it.
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

  // The simple events come first; the advanced ones see every stage the system reports.
  TTBCustomDrawEvent OnCustomDraw;
  TTBCustomDrawBtnEvent OnCustomDrawButton;
  TTBAdvancedCustomDrawEvent OnAdvancedCustomDraw;
  TTBAdvancedCustomDrawBtnEvent OnAdvancedCustomDrawButton;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Buttons are placed by the system; alignment leaves them alone.
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void Loaded() override;

private:
  friend class TToolButton;
  void InsertButton(TToolButton* Button);
  void RemoveButton(TToolButton* Button);
  void UpdateButtonState(TToolButton* Button);
  void ApplyImageLists();
  void ApplyMetrics();
  void SyncButtonBounds();
  void CNCommand(TMessage& m);
  void CNNotify(TMessage& m);
  void CustomDraw(TMessage& m);
  // The frame is measured and drawn again (the edges changed).
  void FrameChanged();
  void ImageListChange(TObject* Sender);
  // Slot 0 Images, 1 HotImages, 2 DisabledImages.
  void SetImageList(int Slot, TCustomImageList* Value);
  TCustomImageList* ImageList(int Slot) const;

  std::vector<TToolButton*> FButtons;
  int FButtonWidth = 23;
  int FButtonHeight = 22;
  bool FFlat = false;
  bool FShowCaptions = false;
  bool FList = false;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FHotImages = nullptr;
  TCustomImageList* FDisabledImages = nullptr;
  std::unique_ptr<TChangeLink> FImageLinks[3];
  TEdgeBorders FEdgeBorders = ebTop;
  TEdgeStyle FEdgeInner = esRaised;
  TEdgeStyle FEdgeOuter = esLowered;
  int FIndent = 0;
  std::unique_ptr<TCanvas> FCanvas;
  bool FUpdatingButtons = false;
};

// ---------------------------------------------------------------------------------------------
class TCoolBar;

class TCoolBand : public TCollectionItem {
  ORBEX_CLASS(TCoolBand, TCollectionItem)
public:
  explicit TCoolBand(TCollection* Collection);
  ~TCoolBand() override;
  TWinControl* Control() const { return FControl; }
  void SetControl(TWinControl* v);
  int MinHeight() const { return FMinHeight; }
  void SetMinHeight(int v);
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int v);
  int Width() const { return FWidth; }
  void SetWidth(int v);
  const std::string& Text() const { return FText; }
  void SetText(const std::string& v);
  bool FixedSize() const { return FFixedSize; }
  void SetFixedSize(bool v);
  // Starts a new row.
  bool Break() const { return FBreak; }
  void SetBreak(bool v);
  bool Visible() const { return FVisible; }
  void SetVisible(bool v);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int v);
  TCoolBar* CoolBar() const;
  void Assign(TPersistent* Source) override;

private:
  friend class TCoolBar;
  TWinControl* FControl = nullptr;
  // Made by the bar for a control placed in it without a band: a band given that control
  // later takes its place.
  bool FMadeForControl = false;
  int FMinHeight = 25;
  int FMinWidth = 0;
  int FWidth = 0;
  std::string FText;
  bool FFixedSize = false;
  bool FBreak = true;
  bool FVisible = true;
  int FImageIndex = -1;
};

class TCoolBands : public TCollection {
  ORBEX_CLASS(TCoolBands, TCollection)
public:
  explicit TCoolBands(TCoolBar* CoolBar);
  TCoolBand* Items(int i) const { return static_cast<TCoolBand*>(TCollection::Items(i)); }
  TCoolBand* Add() { return static_cast<TCoolBand*>(TCollection::Add()); }
  // The band holding a control, or null.
  TCoolBand* FindBand(const TControl* AControl) const;
  TCoolBar* CoolBar() const { return FCoolBar; }

protected:
  void Update(TCollectionItem* Item) override;

private:
  TCoolBar* FCoolBar;
};

class TCoolBar : public TWinControl {
  ORBEX_CLASS(TCoolBar, TWinControl)
public:
  explicit TCoolBar(TComponent* AOwner);
  ~TCoolBar() override;

  TCoolBands* Bands() const { return FBands.get(); }
  void SetBands(TCoolBands* v) { FBands->Assign(v); }
  // The bar's height follows its rows of bands.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool v);
  TEdgeBorders EdgeBorders() const { return FEdgeBorders; }
  void SetEdgeBorders(TEdgeBorders v);
  bool FixedSize() const { return FFixedSize; }
  void SetFixedSize(bool v);
  bool FixedOrder() const { return FFixedOrder; }
  void SetFixedOrder(bool v);
  bool ShowText() const { return FShowText; }
  void SetShowText(bool v);
  bool BandBorders() const { return FBandBorders; }
  void SetBandBorders(bool v);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* v);
  // The bands run from top to bottom (the window is made again).
  bool Vertical() const { return FVertical; }
  void SetVertical(bool v);

  // Puts every band into the window again.
  void UpdateBands();
  // The room a band keeps before its control, in pixels; -1 leaves it to the system (as here).
  virtual int BandHeaderRoom(const TCoolBand* band) { return -1; }
  // Height of the rows of bands plus the edges (what AutoSize sets).
  int BarHeight() const;
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Band controls are placed by the system, not by alignment.
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void Loaded() override;

private:
  friend class TCoolBand;
  void AdjustHeight();
  // A band of its own for each windowed child that has none.
  void AddMissingBands();
  void CMControlChange(TMessage& m);
  void WMParentNotify(TMessage& m);
  std::unique_ptr<TCoolBands> FBands;
  bool FAutoSize = false;
  TEdgeBorders FEdgeBorders = ebLeft | ebTop | ebRight | ebBottom;
  bool FFixedSize = false;
  bool FFixedOrder = false;
  bool FShowText = true;
  bool FBandBorders = true;
  TCustomImageList* FImages = nullptr;
  bool FVertical = false;
  bool FUpdatingBands = false;
};

// The version of the loaded comctl32 (major in the high word, minor in the low word), asked
// once; 0 when the library does not tell.
DWORD GetComCtlVersion();

// Start-up step of the unit: registers the stored-form classes (status, tool and cool bars) by
// name. Runs once; later calls do nothing.
void InitComCtrlsUnit();

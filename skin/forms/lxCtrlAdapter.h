// The control adapter of a skinned form: finds the form's controls that are not skin-aware and
// gives each a window adapter of the kind its class name asks for (the skin manager's twenty
// class lists), and recolours the form's plain labels with the skin's text colour.
//
// Ownership: one adapter per skin provider, made on demand and owned by it. The adapter owns
// its items; an item owns its skin state and its window adapter. Controls are borrowed: an
// item whose window adapter let go (the control's window went) is dropped at the next walk, and
// the provider drops the item of a control that leaves the form. GUI thread only.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject.
#include "framework/win/Controls.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/base/Classes.h"
#include "framework/win/Messages.h"
#include "skin/adapters/lxSBUtils.h"
#include "skin/adapters/lxSpeedButton.h"
#include "skin/core/win/sCommonData.h"

class TsSkinProvider;
class TsSkinManager;
class TlxCtrlAdapter;

// The control kind of an adapted control's skin state.
constexpr int AdaptedControlKind = 227;

// One adapted windowed control.
class TlxAdapterItem : public TPersistent {
  ORBEX_CLASS(TlxAdapterItem, TPersistent)
public:
  explicit TlxAdapterItem(TlxCtrlAdapter* adapter);
  ~TlxAdapterItem() override;
  // Gives the control its window adapter by the first class list naming it, unless it is
  // marked -98, has no window or parent, or skins itself. No list, no adapter.
  virtual void DoHook(TWinControl* control);

  TWinControl* Control = nullptr;
  std::unique_ptr<TsCommonData> SkinData;
  TlxCtrlAdapter* Adapter;
  std::unique_ptr<TlxMainWnd> ScrollAdapter;
};

// One adapted graphic control (a speed button), skinned by a speed-button handler.
class TlxGraphItem : public TPersistent {
  ORBEX_CLASS(TlxGraphItem, TPersistent)
public:
  explicit TlxGraphItem(TlxCtrlAdapter* adapter);
  // The handler freed before the skin data it paints from.
  ~TlxGraphItem() override;
  // Gives the control a speed-button handler in the item's section, unless it is marked -98.
  virtual void DoHook(TControl* control);
  // The handler's "let go" state; an item without handler counts as gone.
  bool HandlerGone() const { return Handler == nullptr || Handler->Destroyed(); }

  TControl* Control = nullptr;
  std::unique_ptr<TsCommonData> SkinData;
  TlxCtrlAdapter* Adapter;
  std::unique_ptr<TlxSpeedButtonHandler> Handler;
};

class TlxCtrlAdapter : public TPersistent {
  ORBEX_CLASS(TlxCtrlAdapter, TPersistent)
public:
  explicit TlxCtrlAdapter(TsSkinProvider* provider);
  ~TlxCtrlAdapter() override;

  TsSkinProvider* Provider() const { return FProvider; }
  TsSkinManager* SkinManager() const;

  // Walks the control's owned components and children (the provider's form for null) and
  // adapts what qualifies, recolouring plain labels; windowed children are walked in turn.
  // Nothing without the third-party skinning rule or while a walk runs: a walk started from
  // a message sent during another walk is refused.
  void AdaptChildren(TWinControl* control);
  // A component qualifies: not marked -98, windowed ones with a window that do not skin
  // themselves; labels as the form's OnSkinItem decides; anything else by its class name.
  virtual bool IsAdaptable(TComponent* component);
  int Count() const { return static_cast<int>(FItems.size()); }
  // Null outside 0 ... Count - 1.
  virtual TlxAdapterItem* GetItem(int index) const;
  // A graphic control gets a speed-button handler in "SPEEDBUTTON", or "SPEEDBUTTON_SMALL"
  // for a button marked small; unless marked -98, without parent, or skinned already. The walk
  // does not call it.
  virtual void AddGraphicControl(TControl* control);
  int GraphicCount() const { return static_cast<int>(FGraphicItems.size()); }
  TlxGraphItem* GetGraphicItem(int index) const;
  virtual void AddNewItem(TWinControl* control);
  virtual void AddItem(TWinControl* control, const std::string& section);
  // Nothing for an index outside 0 ... Count - 1; else the item freed and the last one moved
  // into its place.
  virtual void RemoveItem(int index);
  // Drops the items of a control that leaves (nothing when it has none). The control is only
  // compared: it may be half destroyed.
  void ForgetControl(const TComponent* control);
  // Sends the message to every adapted control that has a parent and a live window adapter.
  virtual void BroadcastMessage(TMessage& message);
  // Frees the items whose window or graphic adapter let go, keeping the order of the rest.
  void CleanItems();
  // Frees every item, last first; a nested call does nothing.
  void RemoveAllItems();

  // Whether a walk runs now (a test seam for re-entry).
  static bool WalkRunning();

private:
  void Walk(TWinControl* control);
  void AdaptComponent(TComponent* component);
  // A plain label takes the skin's text colour (its designed one recorded by the provider).
  void RecolourLabel(TControl* label);
  // The form's OnSkinItem, when assigned; `section` may be changed by it.
  bool AskProvider(TObject* item, std::string& section);

  TsSkinProvider* FProvider;
  std::string FDefaultSection;
  std::vector<std::unique_ptr<TlxAdapterItem>> FItems;
  std::vector<std::unique_ptr<TlxGraphItem>> FGraphicItems;
  bool FRemovingAll = false;
};

// The window adapter of a control found in the class list at `listIndex`; null for the lists
// whose adapter kinds are not built, and for the speed-button list (graphic controls only).
std::unique_ptr<TlxMainWnd> MakeListedAdapter(int listIndex, HWND handle, const std::string& section,
                                              TsSkinManager* manager, TsCommonData* data);

// The grid adapters: framework and foreign grids keep the edit adapter's frame, scroll bars and
// colours, and the colours of their fixed cells, titles, lines and selection follow the skin
// through whatever published colour properties the grid has (a property it lacks is skipped).
// A data-aware grid (one publishing "DataSource") is told the dragged thumb's position in its
// scroll info. The enhanced grid ("OptionsEh") loses its three-dimensional fixed cells while
// skinned on systems before Windows 6 with visual styles on.
//
// Ownership: the grid's own values of every property the skin sets are read at attach and
// given back when the adapter detaches. GUI thread only.
#pragma once

#include "skin/adapters/lxEditWnd.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>

class TlxGridWnd : public TlxEditWnd {
public:
  // Gives the grid its colours back first.
  ~TlxGridWnd() override;

  void StoreControlColors() override;
  void RestoreControlColors() override;
  void ApplySkinColors() override;
  void HandleMessage(TMessage& message) override;

  TlxGridWnd() = default;   // made through CreateForHandle

private:
  // The grid's values of the skin's colour properties it publishes, by path.
  std::map<std::string, std::int64_t> FSaved;
};

// What the enhanced grid adapter asks of the system; tests replace the entries and put the
// saved ones back.
struct TlxGridEhSeams {
  std::function<int()> WindowsMajor;   // the system's major version
  std::function<bool()> ThemesOn;      // visual styles in use (ThemesActive)
};
TlxGridEhSeams& GridEhSeams();

class TlxGridEhWnd : public TlxGridWnd {
public:
  ~TlxGridEhWnd() override;

  void StoreControlColors() override;
  void RestoreControlColors() override;
  void ApplySkinColors() override;

  TlxGridEhWnd() = default;   // made through CreateForHandle

private:
  // The fixed cells' look is changed only on Windows before 6 with visual styles on and for a
  // grid that publishes "OptionsEh".
  bool TouchesFixed3D() const;
  bool FFixed3D = false;
  bool FSaved3D = false;
};

// A hook in a framework control's window method (see lxMethodHook.h).
#include "skin/adapters/lxMethodHook.h"

#include <utility>

#include "framework/win/Menus.h"

struct TlxMethodHookCell {
  TWndMethod Handler;
  TWndMethod Previous;
  bool Active = true;
};

void TlxMethodHook::Install(TWndMethod& slot, TWndMethod handler) {
  Release();
  FCell = std::make_shared<TlxMethodHookCell>();
  FCell->Handler = std::move(handler);
  FCell->Previous = std::move(slot);
  FSlot = &slot;
  std::shared_ptr<TlxMethodHookCell> cell = FCell;
  // The method may be replaced while it runs (the hook taken out inside a message): it works
  // on its own reference to the cell.
  slot = OwnedHandler(cell.get(), TWndMethod([cell](TMessage& m) {
                        const std::shared_ptr<TlxMethodHookCell> keep = cell;
                        if (keep->Active) {
                          const TWndMethod handler = keep->Handler;
                          handler(m);
                        } else if (keep->Previous) {
                          keep->Previous(m);
                        }
                      }));
}

void TlxMethodHook::Release() {
  if (FCell == nullptr) return;
  const std::shared_ptr<TlxMethodHookCell> cell = std::move(FCell);
  cell->Active = false;
  if (FSlot != nullptr && HandlerOwnedBy(*FSlot, cell.get())) *FSlot = cell->Previous;
  FSlot = nullptr;
}

void TlxMethodHook::Forget() {
  if (FCell != nullptr) FCell->Active = false;
  FCell.reset();
  FSlot = nullptr;
}

void TlxMethodHook::CallPrevious(TMessage& message) const {
  message.Result = 0;
  if (FCell == nullptr || !FCell->Previous) return;
  TMessage m{message.Msg, message.WParam, message.LParam, 0};
  const std::shared_ptr<TlxMethodHookCell> keep = FCell;
  keep->Previous(m);
  message.LParam = m.LParam;
  message.Result = m.Result;
}

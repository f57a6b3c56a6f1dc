// The process-wide list of registered skinned forms (filled by the skin providers) and the
// broadcasts of a message to every form of the application and to the registered forms, each
// with its child controls; and the program's own large and small icons that title bars show.
// The list holds no ownership; the unit owns the two icons from its start-up step to its
// shut-down step. Touched only on the GUI thread.
//
// The visible windows of the dialog hook's list get the registered forms' broadcasts too; an
// MDI main form's client window gets what its form gets, and MDI children are left to the
// registered forms' broadcast.
#pragma once

#include <windows.h>

#include <vector>

class TCustomForm;
class TIcon;
struct TMessage;

// The registered skinned forms, in registration order.
const std::vector<TCustomForm*>& RegisteredSkinnedForms();
// Appends the form.
void RegisterSkinnedForm(TCustomForm* form);
// The last entry takes the removed form's place; nothing when the form is not registered.
void UnregisterSkinnedForm(TCustomForm* form);

// To every form the application owns, from the last to the first, that is not an MDI child, is
// not being destroyed or loaded and does not answer command 7 itself (its window, its child
// controls and an MDI main form's client window); then BroadcastToRegisteredForms. No window handle is made to send.
void BroadcastToForms(TMessage& message);
// To every registered form that is not being destroyed: its window, its child controls and an
// MDI main form's client window.
void BroadcastToRegisteredForms(TMessage& message);

// The program's icons, null before the start-up step or when the program file has none.
TIcon* AppLargeIcon();
TIcon* AppSmallIcon();
// Start-up step: the large and small icons extracted from the program file. Shut-down step:
// both freed.
void InitRegisteredFormsUnit();
void DoneRegisteredFormsUnit();

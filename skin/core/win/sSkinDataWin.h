// The process-wide list of registered skinned forms (filled by the skin providers) and the
// broadcasts of a message to every form of the application and to the registered forms, each
// with its child controls. The list holds no ownership; touched only on the GUI thread.
//
// TODO: MDI parent forms' client windows, MDI child forms and the visible windows of the
// dialog hook's list join the broadcasts when the framework's MDI forms and the hook exist.
#pragma once

#include <windows.h>

#include <vector>

class TCustomForm;
struct TMessage;

// The registered skinned forms, in registration order.
const std::vector<TCustomForm*>& RegisteredSkinnedForms();
// Appends the form.
void RegisterSkinnedForm(TCustomForm* form);
// The last entry takes the removed form's place; nothing when the form is not registered.
void UnregisterSkinnedForm(TCustomForm* form);

// To every form the application owns, from the last to the first, that is not being destroyed
// or loaded and does not answer command 7 itself (its window and its child controls); then
// BroadcastToRegisteredForms. No window handle is made to send.
void BroadcastToForms(TMessage& message);
// To every registered form that is not being destroyed: its window and its child controls.
void BroadcastToRegisteredForms(TMessage& message);

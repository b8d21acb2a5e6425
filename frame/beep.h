// The default system beep, used wherever the program signals a refusal.
#pragma once

#include <functional>

// Sounds the default system beep (or calls the hook while one is set).
void Beep();

// Tests replace the beep: while a hook is set, Beep calls it instead of
// sounding anything. An empty hook restores the system beep.
using BeepHook = std::function<void()>;
void SetBeepHook(BeepHook hook);

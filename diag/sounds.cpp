#include "sounds.h"

#include <utility>

namespace {

SoundHook& soundHook() {
    static SoundHook hook;
    return hook;
}

} // namespace

// The build has no sound player (Qt Multimedia is not part of it), so a
// request without a hook is skipped.
void PlaySoundResource(const QString& name, TSoundAction action) {
    if (const SoundHook& hook = soundHook()) {
        hook(name, action);
    }
}

bool SoundsAvailable() {
    return false;
}

void SetSoundHook(SoundHook hook) {
    soundHook() = std::move(hook);
}

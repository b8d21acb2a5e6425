// The program's short sounds ("BEE", "POP"). They are played only where the
// build has a sound player; elsewhere a request is silently skipped.
#pragma once

#include <QString>
#include <functional>

enum class TSoundAction {
    saPlay, // play once
    saLoop, // play over and over until stopped
    saStop, // stop whatever is playing
};

// Asks for a sound by its resource name. Never fails: without a player
// nothing is heard.
void PlaySoundResource(const QString& name, TSoundAction action);

// Whether this build can play sounds at all.
bool SoundsAvailable();

// Tests observe the requests: while a hook is set, every request goes to it.
using SoundHook = std::function<void(const QString& name, TSoundAction action)>;
void SetSoundHook(SoundHook hook);

// The clipboard half of Copy: a small port to the platform clipboard, the
// retrying clear and set operations, and CopySimTabToClipboard. The Qt
// implementation of the port lives in output/gui (QtClipboardPort).
#pragma once

#include "simtab.h"

#include <QString>

#include <functional>

namespace kv {

class ClipboardPort {
public:
    virtual ~ClipboardPort() = default;
    // Each returns whether the platform clipboard accepted the request.
    virtual bool clear() = 0;
    virtual bool setText(const QString& text) = 0;
};

// Sleeps the calling thread for the given milliseconds; tests pass a recorder.
using TSleepFn = std::function<void(int milliseconds)>;
void ThreadSleep(int milliseconds);

inline constexpr int ClipboardAttempts = 10;

// Up to 10 attempts; after failed attempt i (1..10) the thread sleeps
// i * 20 ms. The first success ends the loop.
void SafeClearClipboard(ClipboardPort& clipboard, const TSleepFn& sleep = ThreadSleep);
bool SafeSetClipboardText(ClipboardPort& clipboard, const QString& text,
                          const TSleepFn& sleep = ThreadSleep);

// Builds the tab-separated text with CopySimTabToString and puts it on the
// clipboard without the closing NUL. Fails only when the text cannot be
// built; a clipboard that stays busy is left unchanged and the copy succeeds.
bool CopySimTabToClipboard(const TSimTab& T, QString& Msg, ClipboardPort& clipboard,
                           const TSleepFn& sleep = ThreadSleep);

} // namespace kv

#include "clipboard.h"

#include <chrono>
#include <thread>

namespace kv {

namespace {

template <class Attempt> bool Retry(const Attempt& attempt, const TSleepFn& sleep) {
    for (int i = 1; i <= ClipboardAttempts; ++i) {
        if (attempt()) {
            return true;
        }
        if (sleep) {
            sleep(i * 20);
        }
    }
    return false;
}

} // namespace

void ThreadSleep(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SafeClearClipboard(ClipboardPort& clipboard, const TSleepFn& sleep) {
    Retry([&] { return clipboard.clear(); }, sleep);
}

bool SafeSetClipboardText(ClipboardPort& clipboard, const QString& text, const TSleepFn& sleep) {
    return Retry([&] { return clipboard.setText(text); }, sleep);
}

bool CopySimTabToClipboard(const TSimTab& T, QString& Msg, ClipboardPort& clipboard,
                           const TSleepFn& sleep) {
    QString S;
    if (!CopySimTabToString(T, S, Msg)) {
        return false;
    }
    if (S.endsWith(QChar(0))) {
        S.chop(1);
    }
    SafeClearClipboard(clipboard, sleep);
    SafeSetClipboardText(clipboard, S, sleep);
    return true;
}

} // namespace kv

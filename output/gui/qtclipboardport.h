// The Qt clipboard behind ClipboardPort.
#pragma once

#include "clipboard.h"

namespace kv {

class QtClipboardPort : public ClipboardPort {
public:
    // False when there is no application clipboard (no QGuiApplication).
    bool clear() override;
    bool setText(const QString& text) override;
};

} // namespace kv

#include "vkstacktrace.h"

#include "errors.h"

#include <algorithm>
#include <atomic>
#include <boost/core/demangle.hpp>
#include <boost/stacktrace.hpp>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <string_view>

#if defined(__unix__) || defined(__APPLE__)
#include <dlfcn.h>
#define VK_HAVE_DLADDR 1
#endif

namespace VkStackTrace {

namespace {

constexpr std::size_t MaxFrames = 64;
// How far down the stack the error family's constructor may lie: the capture
// itself, std::function's call and the constructors of derived classes.
constexpr std::size_t MaxCaptureFrames = 12;

std::atomic<bool> enabled{false};

// The module's file name, the address relative to its load address and, for
// modules without debug information, the exported routine that holds it.
void describeModule(const void* address, std::string& module, std::uintptr_t& offset,
                    std::string& symbol) {
    module.clear();
    symbol.clear();
    offset = reinterpret_cast<std::uintptr_t>(address);
#ifdef VK_HAVE_DLADDR
    Dl_info info{};
    if (dladdr(address, &info) != 0) {
        if (info.dli_sname != nullptr) {
            symbol = boost::core::demangle(info.dli_sname);
        }
        if (info.dli_fname != nullptr) {
            const std::string_view path(info.dli_fname);
            const auto slash = path.find_last_of('/');
            module = std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
        }
        if (info.dli_fbase != nullptr) {
            offset -= reinterpret_cast<std::uintptr_t>(info.dli_fbase);
        }
    }
#endif
}

std::string frameLine(std::size_t index, const boost::stacktrace::frame& frame) {
    std::string module;
    std::string symbol;
    std::uintptr_t offset = 0;
    describeModule(frame.address(), module, offset, symbol);
    char address[32];
    std::snprintf(address, sizeof address, "0x%llx", static_cast<unsigned long long>(offset));
    std::string line = "#" + std::to_string(index) + ' ';
    if (!module.empty()) {
        line += module;
        line += '+';
    }
    line += address;
    std::string name = frame.name();
    if (name.empty()) {
        name = symbol;
    }
    if (!name.empty()) {
        line += ' ';
        line += name;
        const std::string file = frame.source_file();
        if (!file.empty()) {
            line += " at ";
            line += file;
            line += ':';
            line += std::to_string(frame.source_line());
        }
    }
    return line;
}

bool isBaseErrorConstructor(const std::string& name) {
    return name.rfind("kv::Exception::Exception(", 0) == 0;
}

// A constructor of an error class: by the program's naming rule error classes
// begin with E and a capital, as in "kv::EZeroDivide::EZeroDivide(...)".
bool isErrorConstructor(const std::string& name) {
    const auto paren = name.find('(');
    const auto split = name.rfind("::", paren);
    if (paren == std::string::npos || split == std::string::npos || split == 0) {
        return false;
    }
    const std::string function = name.substr(split + 2, paren - split - 2);
    const auto classStart = name.rfind("::", split - 1);
    const std::string cls =
        name.substr(classStart == std::string::npos ? 0 : classStart + 2,
                    split - (classStart == std::string::npos ? 0 : classStart + 2));
    return function == cls && cls.size() > 1 && cls[0] == 'E' &&
           std::isupper(static_cast<unsigned char>(cls[1])) != 0;
}

std::string format(const boost::stacktrace::stacktrace& trace, std::size_t first) {
    std::string text;
    for (std::size_t i = first; i < trace.size(); ++i) {
        text += frameLine(i - first, trace[i]);
        text += '\n';
    }
    return text;
}

// The stack of a new kv::Exception, starting at the routine that raised it:
// the frames of the capture and of the error's constructors (where the
// compiler kept them apart) are left out.
std::string captureForError() {
    const boost::stacktrace::stacktrace trace(0, MaxFrames);
    std::size_t first = 0;
    const std::size_t limit = std::min(trace.size(), MaxCaptureFrames);
    for (std::size_t i = 0; i < limit; ++i) {
        if (isBaseErrorConstructor(trace[i].name())) {
            first = i + 1;
        }
    }
    while (first > 0 && first < trace.size() && isErrorConstructor(trace[first].name())) {
        ++first;
    }
    return format(trace, first);
}

} // namespace

std::string Capture(std::size_t skip) {
    // Skip this routine's own frame as well.
    const boost::stacktrace::stacktrace trace(skip + 1, MaxFrames);
    return format(trace, 0);
}

void Enable(bool on) {
    enabled = on;
    kv::Exception::setStackCapture(on ? kv::Exception::StackCapture(captureForError) : nullptr);
}

bool Enabled() {
    return enabled;
}

} // namespace VkStackTrace

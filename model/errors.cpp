#include "errors.h"

#include <cmath>
#include <utility>

namespace kv {

namespace {
Exception::StackCapture& captureHook() {
    static Exception::StackCapture hook;
    return hook;
}
} // namespace

Exception::Exception(const std::string& message) : std::runtime_error(message) {
    if (const auto& hook = captureHook()) {
        try {
            FStackTrace = hook();
        } catch (...) {
            FStackTrace.clear();
        }
    }
}

void Exception::setStackCapture(StackCapture capture) {
    captureHook() = std::move(capture);
}

double CheckedResult(double x) {
    if (std::isnan(x)) {
        throw EInvalidOp();
    }
    if (std::isinf(x)) {
        throw EOverflow();
    }
    return x;
}

double CheckedDiv(double num, double den) {
    if (den == 0.0) {
        if (num == 0.0 || std::isnan(num)) {
            throw EInvalidOp();
        }
        throw EZeroDivide();
    }
    return CheckedResult(num / den);
}

double CheckedLn(double x) {
    if (!(x > 0.0)) {
        throw EInvalidOp();
    }
    return CheckedResult(std::log(x));
}

double CheckedExp(double x) {
    return CheckedResult(std::exp(x));
}

} // namespace kv

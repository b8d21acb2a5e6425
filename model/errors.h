// The program's error family. Every error names its class (for the report
// "(EZeroDivide)Floating point division by zero") and carries the call stack
// recorded where it was raised. The model core only uses the standard library,
// so the stack capture is a hook that the application frame installs.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

namespace kv {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message);
    // Class name as the error report shows it, e.g. "EZeroDivide".
    virtual const char* className() const noexcept { return "Exception"; }
    std::string message() const { return what(); }
    // The call stack at the point of construction, one frame per line; empty
    // when no capture hook is installed.
    const std::string& stackTrace() const noexcept { return FStackTrace; }

    using StackCapture = std::function<std::string()>;
    // Installs the function that records the call stack of every new error.
    static void setStackCapture(StackCapture capture);

private:
    std::string FStackTrace;
};

#define KV_DECLARE_ERROR(Name, Base, DefaultMessage)                                               \
    class Name : public Base {                                                                     \
    public:                                                                                        \
        explicit Name(const std::string& message = DefaultMessage) : Base(message) {}              \
        const char* className() const noexcept override { return #Name; }                          \
    };

KV_DECLARE_ERROR(EMathError, Exception, "Floating point error")
KV_DECLARE_ERROR(EZeroDivide, EMathError, "Floating point division by zero")
KV_DECLARE_ERROR(EInvalidOp, EMathError, "Invalid floating point operation")
KV_DECLARE_ERROR(EOverflow, EMathError, "Floating point overflow")
KV_DECLARE_ERROR(EInOutError, Exception, "I/O error")
KV_DECLARE_ERROR(EOutOfMemory, Exception, "Out of memory")
// The silent error: the central handler ignores it.
KV_DECLARE_ERROR(EAbort, Exception, "Operation aborted")

#undef KV_DECLARE_ERROR

// Checked arithmetic: each raises the matching error instead of producing an
// infinity or a NaN.
double CheckedDiv(double num, double den); // EZeroDivide, EInvalidOp (0/0), EOverflow
double CheckedLn(double x);                // EInvalidOp for x <= 0
double CheckedExp(double x);               // EOverflow
double CheckedResult(double x);            // EOverflow for +-inf, EInvalidOp for NaN

} // namespace kv

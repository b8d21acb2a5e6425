// Call stacks for the debug log: one frame per line with the module, the
// address within it and, where symbols exist, the routine and its source
// line, for example
//   #2 WinVELMAR+0x3a1f2 kv::CheckedDiv(double, double) at model/errors.cpp:41
#pragma once

#include <cstddef>
#include <string>

namespace VkStackTrace {

// The call stack of the caller (its own frame first), leaving out the
// innermost skip frames above it.
std::string Capture(std::size_t skip = 0);

// Switches on or off the recording of the call stack in every kv::Exception
// at the point where it is raised.
void Enable(bool on);
bool Enabled();

} // namespace VkStackTrace

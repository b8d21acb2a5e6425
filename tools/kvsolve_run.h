// The experiment runner behind kvsolve: parses the arguments, sets up the
// model, solves and writes the results. Returns the process exit status.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kvsolve {

enum ExitStatus : int {
    ExitOk = 0,
    ExitSingular = 1,
    ExitNegativeFlow = 2,
    ExitError = 3,    // a floating-point or input-output error
    ExitUsage = 64,   // bad arguments; nothing computed
    ExitBadData = 65, // the edited database has a negative flow or undefined coefficients
};

// args excludes the program name.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kvsolve

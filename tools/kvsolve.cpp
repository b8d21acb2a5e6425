#include "kvsolve_run.h"

#include <cstdio>
#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // The csv and text formats end their lines in CR LF themselves.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    try {
        std::vector<std::string> args(argv + 1, argv + argc);
        return kvsolve::Run(args, std::cout, std::cerr);
    } catch (...) {
        // Run reports everything itself; this is for an allocation of the
        // arguments that failed.
        std::fputs("kvsolve: unexpected error\n", stderr);
        return kvsolve::ExitError;
    }
}

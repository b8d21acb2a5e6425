#include "kvsolve_run.h"

#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return kvsolve::Run(args, std::cout, std::cerr);
}

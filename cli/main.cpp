#include <iostream>
#include <string>
#include <vector>

#include "SimRunner.h"

int main(int argc, char* argv[])
{
    std::vector<std::string> args(argv + 1, argv + argc);
    return velumo::runVelumoSim(args, std::cout, std::cerr);
}

#include "cli/core/CliTool.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    quorvex::CliTool tool(std::cout, std::cerr);
    const int code = tool.run(args);
    std::cout.flush();
    return std::cout.good() ? code : quorvex::CliTool::ExitFailed;
}

// lumen-server: the community server of the Lumen News plug-in and its
// content tools. See docs/server.md.
#include <cstdio>
#include <string>

#include "server/serve.h"
#include "server/tools.h"

int main(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "";
    if (command.empty() || command == "--help" || command == "-h" || command == "help") {
        std::fputs(srv::toolsUsage(), command.empty() ? stderr : stdout);
        return command.empty() ? 2 : 0;
    }
    if (command == "serve") return srv::serve(argc - 2, argv + 2);
    return srv::runTool(argv[1], argc - 2, argv + 2);
}

// The content tools: every subcommand of lumen-server but "serve". Each
// prints one line saying what it did, or fails with one clear line.
#pragma once

namespace srv {

// `command` is the subcommand; `argv` holds the arguments after it.
// Returns the exit code: 0 done, 1 failed, 2 bad command line.
int runTool(const char* command, int argc, const char* const* argv);
// The subcommands and their options.
const char* toolsUsage();

}  // namespace srv

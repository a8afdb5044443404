// "lumen-server serve": runs the HTTP server on a database until SIGTERM
// or SIGINT.
#pragma once

namespace srv {

// `argv` holds the arguments after "serve". Returns the exit code.
int serve(int argc, const char* const* argv);

}  // namespace srv

#include "emu/runner/runner_options.h"
#include <cstdlib>
#include <vector>

namespace runner {

namespace {

bool validPort(const std::string& s) {
    if (s.empty() || s.size() > 5) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    long port = std::strtol(s.c_str(), nullptr, 10);
    return port > 0 && port < 65536;
}

bool parseSeconds(const std::string& s, int& seconds) {
    if (s.empty() || s.size() > 6) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    seconds = static_cast<int>(std::strtol(s.c_str(), nullptr, 10));
    return seconds > 0;
}

// A positive count of bytes, at most 1 TiB.
bool parseBytes(const std::string& s, long long& bytes) {
    if (s.empty() || s.size() > 13) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    bytes = std::strtoll(s.c_str(), nullptr, 10);
    return bytes > 0 && bytes <= (1LL << 40);
}

}  // namespace

bool validConnectTo(const std::string& spec) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t colon; (colon = spec.find(':', start)) != std::string::npos; start = colon + 1)
        parts.push_back(spec.substr(start, colon - start));
    parts.push_back(spec.substr(start));
    return parts.size() == 4 && !parts[0].empty() && validPort(parts[1]) && !parts[2].empty() &&
           validPort(parts[3]);
}

bool parseOptions(int argc, char** argv, RunnerOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        std::string name = arg, value;
        bool inlineValue = false;
        size_t eq = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            inlineValue = true;
        }
        static const char* const withValue[] = {"--plugin", "--root", "--keys", "--keys-file", "--dump",
                                                "--shots", "--connect-to", "--wait-timeout",
                                                "--http-stall-timeout", "--http-max-reply"};
        bool known = false;
        for (const char* option : withValue) known |= name == option;
        if (!known) {
            error = "unknown option \"" + arg + "\" (see --help)";
            return false;
        }
        if (!inlineValue) {
            if (i + 1 >= argc) {
                error = "option " + name + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (name == "--plugin") options.plugin = value;
        else if (name == "--root") options.root = value;
        else if (name == "--keys") { options.keys = value; options.haveKeys = true; }
        else if (name == "--keys-file") options.keysFile = value;
        else if (name == "--dump") options.dump = value;
        else if (name == "--shots") options.shots = value;
        else if (name == "--connect-to") {
            if (!validConnectTo(value)) {
                error = "--connect-to wants HOST:PORT:HOST2:PORT2, not \"" + value + "\"";
                return false;
            }
            options.connectTo = value;
        } else if (name == "--wait-timeout") {
            if (!parseSeconds(value, options.waitTimeoutSeconds)) {
                error = "--wait-timeout wants a positive number of seconds, not \"" + value + "\"";
                return false;
            }
        } else if (name == "--http-stall-timeout") {
            if (!parseSeconds(value, options.httpStallSeconds)) {
                error = "--http-stall-timeout wants a positive number of seconds, not \"" + value + "\"";
                return false;
            }
        } else if (name == "--http-max-reply") {
            if (!parseBytes(value, options.httpMaxReplyBytes)) {
                error = "--http-max-reply wants a number of bytes from 1 to 2^40, not \"" + value + "\"";
                return false;
            }
        }
        if ((name == "--plugin" || name == "--root" || name == "--keys-file" || name == "--dump" ||
             name == "--shots") && value.empty()) {
            error = "option " + name + " needs a non-empty value";
            return false;
        }
    }
    return true;
}

std::string helpText(const std::string& defaultPlugin) {
    return "Usage: lumenhost [OPTIONS]\n"
           "Runs a plug-in in the emulated box: loads it, calls its plugin_exec on the main\n"
           "thread and exits with its result (a script that ends first: final dump, exit 0).\n"
           "\n"
           "Options:\n"
           "  --plugin PATH        plug-in shared object (default: " + defaultPlugin + ")\n"
           "  --root DIR           existing directory that stands in for the box's /var, /media\n"
           "                       and /mnt: /var/tmp/rss.tmp is DIR/var/tmp/rss.tmp\n"
           "  --keys \"K K ...\"     scripted remote, steps separated by blanks\n"
           "  --keys-file F        scripted remote, one step per line ('#' starts a comment);\n"
           "                       run before the steps of --keys\n"
           "  --dump FILE          where dump steps and the final dump go (default and '-':\n"
           "                       stdout)\n"
           "  --shots DIR          where shot steps write shot-001.png, shot-002.png, ...\n"
           "  --connect-to H:P:H2:P2  send HTTP requests for H:P to H2:P2\n"
           "  --wait-timeout N     seconds a wait may take (default 60); then exit 4\n"
           "  --http-stall-timeout N  seconds without a byte after which a transfer fails\n"
           "                       (default 30; tests shorten it)\n"
           "  --http-max-reply N   bytes a reply body may have; a larger one fails with -9\n"
           "                       (default 67108864, 64 MiB)\n"
           "  --help               this text\n"
           "\n"
           "Script steps:\n"
           "  0-9 ok exit up down left right pageup pagedown red green yellow blue\n"
           "                       remote keys, one per idle turn of the main loop\n"
           "  text:STRING          type STRING into the focused field (text:\"two words\")\n"
           "  wait                 run until no transfer runs and no work is queued\n"
           "  dump                 append the screen dump to the dump output\n"
           "  shot                 write the next screenshot into --shots DIR\n"
           "When the script ends, the runner waits as for 'wait', writes the final dump,\n"
           "then closes the open windows so that plugin_exec returns, and exits 0.\n"
           "\n"
           "Interactive mode: with a display (DISPLAY or WAYLAND_DISPLAY) and no script, the\n"
           "screen opens in a window. Keyboard: arrows = up/down/left/right, Enter = ok,\n"
           "Escape/Backspace = exit, 0-9 = digits, PageUp/PageDown = pageup/pagedown,\n"
           "F1 F2 F3 F4 = red green yellow blue. While a text field edits, typed text goes\n"
           "into it, Backspace/Delete erase and Escape ends editing. Closing the window\n"
           "closes the plug-in. Without a display or script: as an empty script.\n"
           "\n"
           "Paths given here are the machine's own; --root applies to the plug-in's files.\n"
           "Exit: the plug-in's result (0-255); 0 when the script ended first; 2 bad command\n"
           "line or script; 3 font, plug-in, dump or screenshot failure; 4 wait timed out.\n";
}

}  // namespace runner

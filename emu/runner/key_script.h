// The scripted remote of lumenhost: key names, typed text and the runner's
// own steps (wait, dump, shot), parsed before the plug-in starts so that a
// typo fails at once.
#pragma once
#include <string>
#include <vector>

namespace runner {

struct ScriptStep {
    enum class Kind { Key, Text, Wait, Dump, Shot };
    Kind kind = Kind::Key;
    int code = 0;       // Key: the remote key code
    std::string text;   // Text: UTF-8 to type
};

// One step from its written form: a key name ("ok", "7", ...), "text:..."
// (the rest, already unquoted), "wait", "dump" or "shot". False with a
// message for an unknown name.
bool parseStep(const std::string& word, ScriptStep& step, std::string& error);

// --keys: steps separated by blanks; double quotes group blanks into one
// step (text:"two words"), and a backslash inside quotes takes the next
// character as it is.
bool parseKeyList(const std::string& keys, std::vector<ScriptStep>& steps, std::string& error);

// --keys-file: one step per line. Blank lines and lines starting with '#'
// are skipped; "text:" takes the rest of the line, and surrounding double
// quotes are removed (so the same words work in both forms).
bool parseKeyLines(const std::string& content, std::vector<ScriptStep>& steps, std::string& error);

}  // namespace runner

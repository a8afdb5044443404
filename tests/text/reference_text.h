// Plain transcriptions of the cleaning algorithms exactly as first
// described: every search restarts at the beginning after each change.
// Slow (quadratic) and obviously right; the fast functions must agree with
// them on every input.
#pragma once
#include <string>

namespace reference {
std::string replace(std::string text, const std::string& pattern, const std::string& replacement);
std::string replace_sonderzeichen(std::string text);
std::string replaceAll(std::string text, const std::string& pattern, const std::string& replacement);
std::string removeTags(const std::string& text);  // keeps the text after an unclosed "<"
std::string stripHTMLTags(std::string text);
std::string trim1(std::string text);
}  // namespace reference

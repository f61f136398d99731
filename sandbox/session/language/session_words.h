// The session language's words: how the console, scripts and the command line cut a line into
// words, where a comment starts and what a file name must end in. Every reader of the language
// goes through these, so a line means the same wherever it is typed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sandbox::session {

// A line without its end (a CR left by a file saved on Windows), its comment ('#' outside double
// quotes, where the host console takes it as text) and the blanks around what is left.
std::string_view lineContent(std::string_view line);

// The words of a line's content, split on blanks (spaces and tabs). Double quotes group a word
// that holds blanks or a '#' and are dropped from it; error names a quote left open.
struct Words {
    std::vector<std::string> words;
    std::string error;  // empty when the line split cleanly
};
Words splitWords(std::string_view content);

// A file name that ends in suffix and has a name before it: "out/a.png", not ".png" nor "a.jpg".
bool namesFileOfKind(std::string_view file, std::string_view suffix);

// The items of a comma-separated list, empty items kept ("A,,B" has three).
std::vector<std::string> splitList(std::string_view text);

}  // namespace sandbox::session

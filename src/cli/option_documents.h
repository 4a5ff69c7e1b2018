#pragma once
// Documents made from the commands' option tables at build time.
#include <string>

namespace tavrin::cli {

// The manual page's OPTIONS section body (roff): every command, sub-command and option.
std::string manPageOptions();
// Bash associative arrays the completion script reads: commands, their options, what each
// option's value and each operand completes to, and sub-commands.
std::string bashCompletionTables();

}  // namespace tavrin::cli

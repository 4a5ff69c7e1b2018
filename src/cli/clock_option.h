#pragma once
// --now: the clock fixed for date and time fields, so renders can be repeated.
#include <ctime>
#include <string>

namespace tavrin::cli {

// "2026-03-05T14:07:09" (a blank may stand for the T); false for anything else or a date
// that does not exist.
bool parseClock(const std::string& text, std::tm& out);

}  // namespace tavrin::cli

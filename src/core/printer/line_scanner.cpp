#include "printer/line_scanner.h"

namespace tavrin {

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }

unsigned digitRun(LineScanner& s, unsigned clamp) {
    unsigned value = 0;
    while (isDigit(s.peek())) {
        const auto digit = static_cast<unsigned>(s.next() - '0');
        value = value * 10 + digit;
        if (value > clamp) value = clamp;  // saturates; stays far below overflow
    }
    return value;
}
}  // namespace

bool LineScanner::take(char c) {
    if (atEnd() || line_[pos_] != c) return false;
    ++pos_;
    return true;
}

unsigned LineScanner::scanUnsigned() { return digitRun(*this, 65535); }

int LineScanner::scanSigned() {
    bool negative = false;
    if (take('-')) negative = true;
    else take('+');
    const int magnitude = static_cast<int>(digitRun(*this, 32767));
    return negative ? -magnitude : magnitude;
}

std::string_view LineScanner::rest() {
    const std::string_view out = atEnd() ? std::string_view{} : line_.substr(pos_);
    pos_ = line_.size();
    return out;
}

bool LineScanner::takeUntil(char c, std::string_view& field) {
    if (atEnd()) return false;
    const std::size_t found = line_.find(c, pos_);
    if (found == std::string_view::npos) return false;
    field = line_.substr(pos_, found - pos_);
    pos_ = found;
    return true;
}

}  // namespace tavrin

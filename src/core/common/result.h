#pragma once
// What an operation that can fail hands back: success, or a kind of failure with the
// message for the user. There is no default: a result says what happened or does not exist.
#include <string>
#include <utility>

namespace tavrin {

enum class FailureKind {
    None,
    // Files: could not be opened, read or written; their contents are not what they claim.
    CannotOpen,
    CannotRead,
    CannotWrite,
    Damaged,
    // The printer: its port would not open, it refused a byte, it fell silent or went away,
    // or the user stopped the exchange.
    PortClosed,
    Refused,
    Silent,
    Stopped,
    // The request itself cannot be carried out (an unknown name, nothing to do).
    Invalid,
};

class Result {
public:
    static Result success() { return Result(FailureKind::None, {}); }
    // A failure is never mistaken for success, whatever kind it is given.
    static Result failure(FailureKind kind, std::string message) {
        return Result(kind == FailureKind::None ? FailureKind::Invalid : kind, std::move(message));
    }

    explicit operator bool() const { return kind_ == FailureKind::None; }
    FailureKind kind() const { return kind_; }
    // Why it failed, in the words shown to the user; empty on success.
    const std::string& message() const { return message_; }

private:
    Result(FailureKind kind, std::string message) : kind_(kind), message_(std::move(message)) {}

    FailureKind kind_;
    std::string message_;
};

}  // namespace tavrin

#include "link/printer_link.h"

#include "link/port_names.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <thread>
#include <vector>

#include "document/app_config.h"

namespace tavrin {

namespace {

// A reply line may carry a CR and the odd stray control byte; a stream of nothing else is
// not a line, and must not keep a read going for ever.
constexpr std::size_t kMaxDroppedPerLine = 1024;
// discardInput() gives up after this much, so a printer that never stops talking cannot
// hold the program.
constexpr std::size_t kMaxDiscarded = 1 << 16;

}  // namespace

LinkTiming LinkTiming::system() {
    LinkTiming timing;
    timing.now = [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    };
    timing.sleep = [](std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); };
    return timing;
}

PrinterLink::PrinterLink(SerialTransport& transport, LinkUi& ui, LinkTiming timing)
    : transport_(transport), ui_(ui) {
    setTiming(std::move(timing));
}

void PrinterLink::setTiming(LinkTiming timing) {
    const LinkTiming fallback = LinkTiming::system();
    if (!timing.now) timing.now = fallback.now;
    if (!timing.sleep) timing.sleep = fallback.sleep;
    timing_ = std::move(timing);
}

void PrinterLink::setPortDevice(int portIndex, std::string device) {
    if (portIndex >= 0 && portIndex < static_cast<int>(portDevices_.size()))
        portDevices_[static_cast<std::size_t>(portIndex)] = std::move(device);
}

std::string PrinterLink::portDevice(int portIndex) const {
    if (portIndex >= 0 && portIndex < static_cast<int>(portDevices_.size()) &&
        !portDevices_[static_cast<std::size_t>(portIndex)].empty())
        return portDevices_[static_cast<std::size_t>(portIndex)];
    return defaultPortDevice(portIndex);
}

SerialSettings PrinterLink::serialSettings() const {
    SerialSettings serial;
    serial.baudRate = baudRate(settings_.baudIndex);
    serial.flowControl = settings_.protocol == 1 ? FlowControl::XonXoff : FlowControl::Hardware;
    return serial;
}

void PrinterLink::clearFailure() {
    silent_ = false;
    stopped_ = false;
    deviceMessage_.clear();
    failureShown_ = false;
}

bool PrinterLink::stopRequested() {
    if (!ui_.progressWindowVisible() || !ui_.cancelRequested()) return false;
    stopped_ = true;
    return true;
}

bool PrinterLink::openPort() {
    if (transport_.isOpen()) {
        if (!transport_.gone()) return true;
        // The printer may be back by now; only a fresh open can tell.
        transport_.close();
    }
    clearFailure();
    pushedBack_.reset();
    const std::string device = portDevice(settings_.portIndex);
    if (transport_.open(device, serialSettings())) return true;
    ui_.beep();
    // Name the device and the system's reason, so the user can tell a wrong port from a
    // missing permission or a printer another program holds.
    std::string text = std::string(kOpenPortFailed) + " " + device;
    if (const std::string reason = transport_.openFailure(); !reason.empty()) text += ": " + reason;
    if (ui_.progressWindowVisible()) {
        ui_.showProgressError("Error", text);
        failureShown_ = true;
    } else {
        ui_.showError("Error", text);
    }
    silent_ = true;
    return false;
}

void PrinterLink::closePort() {
    pushedBack_.reset();
    if (!transport_.isOpen()) return;
    transport_.close();
    // A device that delivers on close (a print queue) may fail only now.
    const std::string error = transport_.closeError();
    if (error.empty()) return;
    silent_ = true;
    deviceMessage_ = error;
    ui_.beep();
    if (ui_.progressWindowVisible()) {
        ui_.showProgressError("Error", error);
        failureShown_ = true;
    } else {
        ui_.showError("Error", error);
    }
}

std::uint32_t PrinterLink::bytesWaiting() {
    if (pushedBack_) return 1;
    if (!transport_.isOpen()) return 0;
    return transport_.bytesWaiting();
}

bool PrinterLink::writeByte(std::uint8_t byte) {
    clearFailure();
    refused_ = false;
    if (!transport_.isOpen()) return true;
    for (;;) {
        ui_.processEvents();
        // The events may have closed the port under us; then there is nothing to write to.
        if (!transport_.isOpen()) return true;
        // A stop ends the stream between two bytes, as a refused write that is not retried
        // does; the window then closes without an error.
        if (stopRequested()) {
            refused_ = true;
            return false;
        }
        const Readiness sent = sendByte(byte);
        if (sent == Readiness::Ready) return true;
        if (!transport_.isOpen()) return true;
        if (stopped_) {
            refused_ = true;
            return false;
        }
        // Asking "Retry ?" cannot bring back a device that is no longer there.
        const bool gone = sent == Readiness::Gone || transport_.gone();
        if (gone || !ui_.askRetry("Error", kWriteRetryQuestion)) {
            refused_ = true;
            silent_ = true;
            // In place of the question the failure is told at once, unless the progress
            // window will tell it when it ends.
            if (gone && !ui_.progressWindowVisible()) {
                ui_.beep();
                ui_.showError("Error", kNoPrinterResponse);
                failureShown_ = true;
            }
            return false;
        }
    }
}

Readiness PrinterLink::sendByte(std::uint8_t byte) {
    std::optional<Readiness> state = transport_.writeByteNow(byte);
    if (!state) {
        // A channel that waits for room itself.
        state = transport_.writeByte(byte) ? Readiness::Ready : transport_.gone() ? Readiness::Gone : Readiness::NotYet;
    } else if (*state == Readiness::NotYet) {
        // The printer holds the line: wait in slices, so that the windows stay alive and a
        // stop is seen while it does. A byte is tried at every slice, as a terminal may take
        // one before it says it has room.
        const std::chrono::milliseconds start = now();
        for (;;) {
            const std::chrono::milliseconds left = timing_.silenceLimit - (now() - start);
            if (left.count() <= 0) break;
            if (transport_.waitUntilWritable(std::min(left, timing_.waitSlice)) == Readiness::Gone) {
                state = Readiness::Gone;
                break;
            }
            ui_.processEvents();
            if (!transport_.isOpen() || stopRequested()) break;
            state = transport_.writeByteNow(byte).value_or(Readiness::NotYet);
            if (*state != Readiness::NotYet) break;
        }
    }
    if (*state == Readiness::Ready) transport_.flush();
    return *state;
}

bool PrinterLink::writeBytes(std::span<const std::uint8_t> bytes) {
    if (!transport_.isOpen()) return true;
    for (const std::uint8_t byte : bytes)
        if (!writeByte(byte)) return false;
    return true;
}

bool PrinterLink::writeText(std::string_view text) {
    return writeBytes({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

bool PrinterLink::writeFormatted(const char* format, ...) {
    if (!transport_.isOpen()) return true;
    va_list arguments;
    va_start(arguments, format);
    va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, arguments);
    va_end(arguments);
    std::string text;
    if (length > 0) {
        // Sized to the result rather than a fixed buffer, so a long name cannot overrun it.
        text.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, again);
        text.resize(static_cast<std::size_t>(length));
    }
    va_end(again);
    return writeText(text);
}

bool PrinterLink::readByte(std::uint8_t& byte) {
    if (pushedBack_) {
        byte = *pushedBack_;
        pushedBack_.reset();
        return true;
    }
    if (!transport_.isOpen()) return false;
    return transport_.readByte(byte);
}

// Waits for the next byte, asleep in the transport. Only a byte that really came renews the
// silence limit: a port that keeps claiming input but delivers none must still end in a
// time-out.
bool PrinterLink::nextByte(std::uint8_t& byte, std::chrono::milliseconds& lastByteTime) {
    if (pushedBack_) {
        readByte(byte);
        lastByteTime = now();
        return true;
    }
    // A device that can never answer says so at once instead of after the silence limit.
    if (transport_.isOpen()) {
        if (std::string refusal = transport_.refuseReply(); !refusal.empty()) {
            deviceMessage_ = std::move(refusal);
            return false;
        }
    }
    for (;;) {
        // A closed port has nothing to wait for, and a device that went away never answers.
        if (!transport_.isOpen() || stopRequested()) return false;
        const std::chrono::milliseconds left = timing_.silenceLimit - (now() - lastByteTime);
        if (left.count() <= 0) return false;
        const Readiness state = transport_.waitUntilReadable(std::min(left, timing_.waitSlice));
        if (state == Readiness::Gone) return false;
        if (state == Readiness::Ready && transport_.readByte(byte)) {
            lastByteTime = now();
            return true;
        }
        if (state == Readiness::NotYet && timing_.pollInterval.count() > 0) timing_.sleep(timing_.pollInterval);
        ui_.processEvents();
    }
}

std::size_t PrinterLink::readBytes(std::span<std::uint8_t> bytes) {
    std::chrono::milliseconds lastByteTime = now();
    clearFailure();
    std::size_t count = 0;
    while (count < bytes.size()) {
        std::uint8_t byte = 0;
        if (!nextByte(byte, lastByteTime)) {
            silent_ = true;
            break;
        }
        bytes[count++] = byte;
        ui_.processEvents();
    }
    return count;
}

std::size_t PrinterLink::readLine(std::string& line, std::size_t size) {
    line.clear();
    endMark_ = false;
    clearFailure();
    const std::size_t limit = size > 0 ? size - 1 : 0;
    std::chrono::milliseconds lastByteTime = now();
    std::size_t dropped = 0;
    for (;;) {
        std::uint8_t byte = 0;
        if (!nextByte(byte, lastByteTime)) {
            silent_ = true;
            line.clear();
            return 0;
        }
        if (byte == '\n') return line.size();
        if (byte == 0) {
            endMark_ = true;
            line.clear();
            return 0;
        }
        if (byte < 32) {
            if (++dropped > kMaxDroppedPerLine) {
                line.clear();
                return 0;
            }
        } else if (line.size() >= limit) {
            // A line that does not fit: it reads as empty, and this character starts the
            // next read, so nothing of the reply is lost and a line of exactly size - 1
            // characters still fits.
            pushedBack_ = byte;
            line.clear();
            return 0;
        } else {
            line.push_back(static_cast<char>(byte));
        }
        ui_.processEvents();
    }
}

void PrinterLink::discardInput() {
    pushedBack_.reset();
    for (std::size_t count = 0; count < kMaxDiscarded && transport_.isOpen(); ++count) {
        const std::uint32_t waiting = transport_.bytesWaiting();
        if (waiting == 0 || waiting == kBytesWaitingUnknown) return;
        std::uint8_t byte = 0;
        if (!transport_.readByte(byte)) return;
    }
}

void PrinterLink::pause(std::chrono::milliseconds duration) {
    ui_.processEvents();
    timing_.sleep(duration);
}

void PrinterLink::showProgress(std::string_view text) {
    failureShown_ = false;
    if (progressShown_)
        ui_.showProgressWindow(kProgressTitle, text);
    else
        ui_.setProgressText(text);
}

void PrinterLink::endProgress() {
    // A stop is the user's own doing: no error box to acknowledge.
    if (silent_ && !stopped_) {
        // One failure, one message: a failed open has already put its own, more precise
        // message into the window, and a chain of exchanges that ends its progress again
        // after the failure must not make the user acknowledge it twice.
        if (!failureShown_) {
            ui_.showProgressError("Error", failureMessage());
            ui_.beep();
        }
        failureShown_ = true;
    } else {
        if (progressShown_) ui_.closeProgressWindow();
        failureShown_ = false;
    }
}

Result PrinterLink::status() const {
    if (stopped_) return Result::failure(FailureKind::Stopped, failureMessage());
    if (refused_) return Result::failure(FailureKind::Refused, failureMessage());
    if (silent_) return Result::failure(FailureKind::Silent, failureMessage());
    return Result::success();
}

void PrinterLink::markSilent() {
    if (!stopped_) silent_ = true;
}

std::string PrinterLink::failureMessage() const {
    if (stopped_) return kStoppedByUser;
    return deviceMessage_.empty() ? std::string(kNoPrinterResponse) : deviceMessage_;
}

}  // namespace tavrin

#include "app/qt_serial_transport.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include <QFileInfo>
#include <QSerialPort>
#include <QString>

#include <limits>

#include "link/fd_transport.h"
#include "link/posix_serial_transport.h"

namespace tavrin {

namespace {

QSerialPort::FlowControl qtFlowControl(FlowControl flowControl) {
    // "Hardware" used to mean output waiting for DSR, with DTR as the input handshake.
    // QSerialPort cannot express DSR/DTR flow control, only RTS/CTS, so that is what we
    // use; a printer that signals on DSR needs a cable that carries its ready line to CTS.
    return flowControl == FlowControl::XonXoff ? QSerialPort::SoftwareControl
                                               : QSerialPort::HardwareControl;
}

}  // namespace

QtSerialTransport::QtSerialTransport() : port_(std::make_unique<QSerialPort>()) {}

QtSerialTransport::~QtSerialTransport() { close(); }

namespace {

int toMs(std::chrono::milliseconds duration) {
    const auto count = duration.count();
    if (count < 0) return 0;
    if (count > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return static_cast<int>(count);
}

}  // namespace

int QtSerialTransport::timeoutMs() const { return toMs(ioTimeout_); }

Readiness QtSerialTransport::noteIfGone(Readiness state) {
#ifdef Q_OS_UNIX
    // Asked of the descriptor: Qt takes a hung-up terminal's read of nothing for no news.
    if (state == Readiness::NotYet && port_->isOpen() &&
        waitForDevice(static_cast<int>(port_->handle()), POLLOUT, std::chrono::milliseconds(0)) == Readiness::Gone)
        state = Readiness::Gone;
#endif
    if (port_->error() == QSerialPort::ResourceError) state = Readiness::Gone;
    if (state == Readiness::Gone && !gone_) {
        gone_ = true;
        port_->clear(QSerialPort::AllDirections);
        port_->close();
    }
    return state;
}

Readiness QtSerialTransport::waitUntilReadable(std::chrono::milliseconds limit) {
    if (gone_ || !port_->isOpen()) return Readiness::Gone;
    if (port_->bytesAvailable() > 0) return Readiness::Ready;
#ifdef Q_OS_UNIX
    // On the descriptor itself, which tells a hang-up apart from quiet.
    return noteIfGone(waitForDevice(static_cast<int>(port_->handle()), POLLIN, limit));
#else
    if (port_->waitForReadyRead(toMs(limit))) return Readiness::Ready;
    if (port_->error() == QSerialPort::TimeoutError) port_->clearError();
    return noteIfGone(Readiness::NotYet);
#endif
}

std::optional<Readiness> QtSerialTransport::writeByteNow(std::uint8_t byte) {
    if (gone_ || !port_->isOpen()) return Readiness::Gone;
    const auto pushQueued = [this] {
        port_->waitForBytesWritten(0);
        if (port_->error() == QSerialPort::TimeoutError) port_->clearError();
    };
    if (port_->bytesToWrite() > 0) pushQueued();
    // Until a byte goes again, what is queued is stuck: close() then drops it.
    lastFailed_ = port_->bytesToWrite() > 0;
    if (lastFailed_) return noteIfGone(Readiness::NotYet);
    const char c = static_cast<char>(byte);
    lastFailed_ = port_->write(&c, 1) != 1;
    if (lastFailed_) return noteIfGone(Readiness::NotYet);
    pushQueued();
    // Only Qt's own error is looked at here: no system call per byte.
    return noteIfGone(Readiness::Ready);
}

Readiness QtSerialTransport::waitUntilWritable(std::chrono::milliseconds limit) {
    if (gone_ || !port_->isOpen()) return Readiness::Gone;
    // A byte still queued from a write that timed out goes first.
    if (port_->bytesToWrite() > 0 && !port_->waitForBytesWritten(toMs(limit))) {
        if (port_->error() == QSerialPort::TimeoutError) port_->clearError();
        return noteIfGone(Readiness::NotYet);
    }
#ifdef Q_OS_UNIX
    return noteIfGone(waitForDevice(static_cast<int>(port_->handle()), POLLOUT, limit));
#else
    return Readiness::Ready;
#endif
}

bool QtSerialTransport::open(const std::string& device, const SerialSettings& settings) {
    close();
    openFailure_.clear();
    if (device.empty()) return false;
    // QSerialPort takes a bare name as one below /dev, and also a relative path
    // ("run/printer" would become /dev/run/printer): a path is made absolute first, and a
    // link is followed, so that the port's lock is the device's whatever name reached it.
    const QString name = QString::fromStdString(device);
    const QFileInfo file(name);
    const QString canonical = file.canonicalFilePath();
    port_->setPortName(!name.contains('/') ? name : canonical.isEmpty() ? file.absoluteFilePath() : canonical);
    // On Unix the open is exclusive: QSerialPort takes a lock file for the device and sets
    // TIOCEXCL, so a second open, here or in another program, fails.
    if (!port_->open(QIODevice::ReadWrite)) {
        // The system's own reason reads better than the port's and carries our hints.
        const std::string path = device.find('/') == std::string::npos ? "/dev/" + device : device;
        if (::access(path.c_str(), R_OK | W_OK) != 0) openFailure_ = openFailureText(errno, path);
        else openFailure_ = errorText();
        return false;
    }
    // The settings are made on the open port so that one the device refuses (a
    // pseudo-terminal has no flow-control lines) does not stop the exchange; the port then
    // keeps what it had.
    port_->setBaudRate(settings.baudRate);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(qtFlowControl(settings.flowControl));
    // Whatever an earlier session left unread is not an answer to this one.
    port_->clear(QSerialPort::Input);
    port_->clearError();
    unsentByte_.reset();
    gone_ = false;
    return true;
}

bool QtSerialTransport::isOpen() const { return gone_ || port_->isOpen(); }

void QtSerialTransport::close() {
    // The last byte may still wait in the port's own queue.
    if (port_->isOpen() && !lastFailed_ && port_->bytesToWrite() > 0 && !port_->waitForBytesWritten(timeoutMs()))
        lastFailed_ = true;
    if (port_->isOpen()) {
        // After a failed exchange what is still queued is of no use, and the driver's close
        // would wait for it while the printer holds the line.
        if (lastFailed_ || unsentByte_) port_->clear(QSerialPort::AllDirections);
#ifdef Q_OS_UNIX
        else settleOutputBeforeClose(static_cast<int>(port_->handle()), ioTimeout_, false);
#endif
        port_->close();
    }
    unsentByte_.reset();
    lastFailed_ = false;
    gone_ = false;
    port_->clearError();
}

std::uint32_t QtSerialTransport::bytesWaiting() {
    if (!port_->isOpen()) return kBytesWaitingUnknown;
    if (port_->bytesAvailable() == 0) {
        // Without an event loop nothing moves the driver's input into the port's buffer;
        // a wait of no time does, and returns at once when nothing is there.
        port_->waitForReadyRead(0);
        if (port_->error() == QSerialPort::TimeoutError) port_->clearError();
        // A window that only looks now and then (the terminal) lets go of a device that
        // went away here.
        if (port_->bytesAvailable() == 0 && noteIfGone(Readiness::NotYet) == Readiness::Gone)
            return kBytesWaitingUnknown;
    }
    if (port_->error() != QSerialPort::NoError && port_->bytesAvailable() == 0)
        return kBytesWaitingUnknown;
    const qint64 available = port_->bytesAvailable();
    return available > std::numeric_limits<std::uint32_t>::max() - 1
               ? std::numeric_limits<std::uint32_t>::max() - 1
               : static_cast<std::uint32_t>(available);
}

bool QtSerialTransport::readByte(std::uint8_t& byte) {
    if (!port_->isOpen()) return false;
    lastFailed_ = !readOne(byte);
    if (lastFailed_) noteIfGone(Readiness::NotYet);
    return !lastFailed_;
}

bool QtSerialTransport::writeByte(std::uint8_t byte) {
    if (!port_->isOpen()) return false;
    lastFailed_ = !writeOne(byte);
    if (lastFailed_) noteIfGone(Readiness::NotYet);
    return !lastFailed_;
}

bool QtSerialTransport::readOne(std::uint8_t& byte) {
    if (port_->bytesAvailable() == 0 && !port_->waitForReadyRead(timeoutMs())) {
        if (port_->error() == QSerialPort::TimeoutError) port_->clearError();
        return false;
    }
    char c = 0;
    if (!port_->getChar(&c)) return false;
    byte = static_cast<std::uint8_t>(c);
    return true;
}

bool QtSerialTransport::writeOne(std::uint8_t byte) {
    if (unsentByte_) {
        // An earlier byte is still queued: give it this call's time to leave.
        if (port_->bytesToWrite() > 0 && !port_->waitForBytesWritten(timeoutMs())) {
            if (port_->error() == QSerialPort::TimeoutError) port_->clearError();
            return false;
        }
        const bool retry = *unsentByte_ == byte;
        unsentByte_.reset();
        // The retry of the byte that was stuck: it has gone out now.
        if (retry) return true;
    }
    const char c = static_cast<char>(byte);
    if (port_->write(&c, 1) != 1) return false;
    if (port_->bytesToWrite() > 0 && !port_->waitForBytesWritten(timeoutMs())) {
        if (port_->error() == QSerialPort::TimeoutError) port_->clearError();
        // Still queued when the printer holds the line; see unsentByte_.
        if (port_->bytesToWrite() > 0) unsentByte_ = byte;
        return false;
    }
    return true;
}

// Each write already waits until its byte has reached the driver; this pushes anything
// left behind without waiting.
void QtSerialTransport::flush() {
    if (port_->isOpen()) port_->flush();
}

std::string QtSerialTransport::errorText() const { return port_->errorString().toStdString(); }

}  // namespace tavrin

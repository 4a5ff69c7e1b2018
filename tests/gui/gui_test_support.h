#pragma once
#include <gtest/gtest.h>
// Answers the next modal window the code under test opens (a message box or a dialog run by
// exec()), the way a user would: by pressing one of its buttons by object name.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>

namespace tavrin::test {

inline void click(QWidget* window, const char* button) {
    auto* found = window->findChild<QAbstractButton*>(button);
    ASSERT_NE(found, nullptr) << button;
    found->click();
}

inline void type(QWidget* window, const char* edit, const QString& text) {
    auto* found = window->findChild<QLineEdit*>(edit);
    ASSERT_NE(found, nullptr) << edit;
    found->setText(text);
}

class ModalAnswer {
public:
    explicit ModalAnswer(const char* buttonName) : button_(buttonName) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(10);
    }
    ~ModalAnswer() { timer_.stop(); }
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;

    bool answered() const { return answered_; }
    const QString& title() const { return title_; }
    const QString& text() const { return text_; }

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) return;
        auto* button = modal->findChild<QAbstractButton*>(button_);
        if (button == nullptr || !button->isVisible()) return;
        title_ = modal->windowTitle();
        if (auto* label = modal->findChild<QLabel*>("MsgText")) text_ = label->text();
        timer_.stop();
        answered_ = true;
        button->click();
    }

    QString button_;
    QTimer timer_;
    bool answered_ = false;
    QString title_;
    QString text_;
};

}  // namespace tavrin::test

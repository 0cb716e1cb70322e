// Answers the next message box that opens: records what it showed and clicks
// the button with the given text (an empty text, or one the box lacks,
// closes it with Escape). Create it before the call that shows the alert; it
// polls for the box from inside the alert's own modal loop.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "tonaroframework/ui/fcui.h"

struct SeenAlert {
    bool shown = false;
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QStringList buttons;  // sorted
    QString defaultButton;
    QString escapeButton;
    bool windowshadeAllowed = true;  // __bWindowshadeAllowed while it was up
    Qt::WindowModality modality = Qt::NonModal;
};

class AlertAnswerer {
public:
    explicit AlertAnswerer(QString buttonToPress) : _press(std::move(buttonToPress))
    {
        _timer.setInterval(5);
        QObject::connect(&_timer, &QTimer::timeout, [this] { Poll(); });
        _timer.start();
    }
    const SeenAlert& Seen() const { return _seen; }
    int Count() const { return _count; }

private:
    void Poll()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        ++_count;
        _seen.shown = true;
        _seen.title = box->windowTitle();
        _seen.text = box->text();
        _seen.format = box->textFormat();
        _seen.windowshadeAllowed = __bWindowshadeAllowed;
        _seen.modality = box->windowModality();
        _seen.buttons.clear();
        for (QAbstractButton* button : box->buttons()) _seen.buttons << button->text();
        _seen.buttons.sort();
        if (box->defaultButton() != nullptr) _seen.defaultButton = box->defaultButton()->text();
        if (box->escapeButton() != nullptr) _seen.escapeButton = box->escapeButton()->text();
        for (QAbstractButton* button : box->buttons()) {
            if (!_press.isEmpty() && button->text() == _press) {
                button->click();
                return;
            }
        }
        box->reject();
    }
    QString _press;
    QTimer _timer;
    SeenAlert _seen;
    int _count = 0;
};

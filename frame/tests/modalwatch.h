// Drives modal dialogs from tests: the action runs on the dialog once it is
// shown, and a watchdog closes whatever modal window is still open after a
// few seconds so that a failing test never blocks.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

inline void WhenModalShown(std::function<void(QWidget*)> action, int watchdogMs = 5000) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    int waited = 0;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action, watchdogMs, waited]() mutable {
        waited += 10;
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            poll->stop();
            poll->deleteLater();
            action(modal);
            return;
        }
        if (waited > watchdogMs) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
    QTimer::singleShot(watchdogMs, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            qWarning("watchdog closed a modal dialog");
            dialog->done(-1);
        }
    });
}

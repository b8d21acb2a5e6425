#include "vkapplication.h"

#include "vkdebuginfo.h"

#include <QPointer>
#include <exception>

TVkApplication::TVkApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void TVkApplication::SetTitle(const QString& title) {
    QCoreApplication::setApplicationName(title);
}

bool TVkApplication::notify(QObject* receiver, QEvent* event) {
    const QPointer<QObject> sender(receiver);
    std::exception_ptr error;
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        error = std::current_exception();
    }
    // Handled outside the catch block: the error box runs an event loop of
    // its own.
    HandleAppException(sender.data(), error);
    return false;
}

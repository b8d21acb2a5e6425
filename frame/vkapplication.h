// The program's application object. Qt must not see an exception leave an
// event handler, so notify() catches everything and hands it to the central
// handler with the receiving object as the sender.
#pragma once

#include <QApplication>

class TVkApplication : public QApplication {
    Q_OBJECT
public:
    TVkApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // The application's title, which message captions and the error box use.
    // It is the application's name only: a display name would make the
    // desktop add it to every window caption that does not end in it.
    static void SetTitle(const QString& title);
};

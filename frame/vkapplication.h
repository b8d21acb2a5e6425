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
};

// Helpers shared by the tests of the program frame and of the libraries built
// on it: a recorder that stands in for the message dialog, and an environment
// variable set for one scope.
#pragma once

#include "workarea.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

// One message the program asked the message dialog to show.
struct TShownMessage {
    QString Text;
    MessageKind Kind = mkCustom;
    MessageButtons Buttons = 0;
    int HelpContext = -1;
};

// While it lives, every message goes to Shown instead of a dialog, and the
// dialog's result is Answer.
class TMessageRecorder {
public:
    explicit TMessageRecorder(int answer = 1) : Answer(answer) {
        SetMessageDialogHook(
            [this](const QString& text, MessageKind kind, MessageButtons buttons, int helpContext) {
                Shown.append({text, kind, buttons, helpContext});
                return Answer;
            });
    }
    ~TMessageRecorder() { SetMessageDialogHook({}); }
    TMessageRecorder(const TMessageRecorder&) = delete;
    TMessageRecorder& operator=(const TMessageRecorder&) = delete;

    // The texts of the messages, in order.
    QStringList Texts() const {
        QStringList texts;
        for (const TShownMessage& m : Shown) {
            texts << m.Text;
        }
        return texts;
    }

    QList<TShownMessage> Shown;
    int Answer;
};

// Sets (or, with no value, unsets) an environment variable for the life of
// the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<QByteArray> value)
        : FName(name), FWasSet(qEnvironmentVariableIsSet(name)), FOld(qgetenv(name)) {
        Set(value);
    }
    ~ScopedEnv() { Set(FWasSet ? std::optional<QByteArray>(FOld) : std::nullopt); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    // Changes the value while the object lives.
    void Set(const std::optional<QByteArray>& value) {
        if (value) {
            qputenv(FName.constData(), *value);
        } else {
            qunsetenv(FName.constData());
        }
    }

private:
    QByteArray FName;
    bool FWasSet;
    QByteArray FOld;
};

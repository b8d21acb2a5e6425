#include "helpselector.h"

#include <utility>

// Minimal help layer: it records the help file and forwards requests to the
// hook. The help window replaces the bodies of ShowTopic, ShowContents and
// CloseAll.
namespace HelpSelector {

namespace {
QString& helpFile() {
    static QString name;
    return name;
}
TopicHook& topicHook() {
    static TopicHook hook;
    return hook;
}
} // namespace

void SetHelpFile(const QString& fileName) { helpFile() = fileName; }
QString HelpFile() { return helpFile(); }

void ShowTopic(int context) {
    if (topicHook()) {
        topicHook()(context);
    }
}

void ShowContents() {
    if (topicHook()) {
        topicHook()(0);
    }
}

void CloseAll() {}

void SetTopicHook(TopicHook hook) { topicHook() = std::move(hook); }

} // namespace HelpSelector

// The help layer: the program names its help file ("WinVELMAR.chm") and asks
// for topics by context number; the help layer shows them in the program's
// help window.
#pragma once

#include <QString>
#include <functional>

namespace HelpSelector {

void SetHelpFile(const QString& fileName);
QString HelpFile();

// Shows the topic with this context number.
void ShowTopic(int context);
// Shows the contents.
void ShowContents();
// Closes every help window.
void CloseAll();

// Tests observe the requests: while a hook is set, ShowTopic calls it with the
// context number (ShowContents with 0) instead of
// opening a window.
using TopicHook = std::function<void(int context)>;
void SetTopicHook(TopicHook hook);

} // namespace HelpSelector

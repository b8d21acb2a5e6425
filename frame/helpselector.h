// The help layer: the program names its help file ("WinVELMAR.chm") and asks
// for topics by context number; the help layer shows them in the program's
// help window.
//
// The help itself is a Qt help file with the same base name as the named file
// ("WinVELMAR.qch"), beside the executable when the name has no folder. Each
// topic the program asks for carries a keyword whose identifier is
// "context.<number>".
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace HelpSelector {

void SetHelpFile(const QString& fileName);
QString HelpFile();

// The Qt help file that stands for HelpFile(), as a full path: a bare name is
// looked for in the program's data folder.
QString QtHelpFilePath();
// The keyword identifier of a context number ("context.206").
QString ContextId(int context);
// The address of the topic with this context number in the help file; empty
// when the help file cannot be read or has no such topic.
QUrl TopicUrl(int context);

// Shows the topic with this context number (nothing for a context of 0 or
// less). A topic that the help file lacks shows a note in the help window.
void ShowTopic(int context);
// Shows the help window on its contents, then topic 10.
void ShowContents();
// Closes every help window; nothing happens when none was opened.
void CloseAll();

// The help window while it exists (null otherwise), and the address it shows.
QWidget* HelpWindow();
QUrl CurrentTopicUrl();

// Tests observe the requests: while a hook is set, ShowTopic calls it with the
// context number (ShowContents with 0) instead of
// opening a window.
using TopicHook = std::function<void(int context)>;
void SetTopicHook(TopicHook hook);

} // namespace HelpSelector

// The page-script code that rebuilds a task's current layout, as the designer's code panel
// shows it: a developer copies it into the page so that a layout adjusted once becomes the
// script's own default.
#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>

namespace kavel {

class TPSetupForm;

// The lines of the code, the first one empty. `scroll`: the work area's scroll offset in the
// control's pixels (the paper's position counts from the work area's origin).
QStringList CreateLayoutCode(const TPSetupForm& form, QPoint scroll = {});

// A text as a script string's contents: quotes, backslashes and line breaks escaped, so that
// the generated line is valid script whatever the text holds.
QString ScriptStringText(const QString& text);

}  // namespace kavel

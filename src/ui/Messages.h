#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace messages {

// Shows a user message: modal, an OK button only, no icon, the application's
// title. Returns when the user has dismissed it.
void show(QWidget *parent, const QString &text);

// Asks a question in the same kind of box, with the buttons "是" and "否";
// true when the answer is yes.
bool ask(QWidget *parent, const QString &question);

// Tests answer message boxes through this hook instead of a real box: while a
// hook is set, show() and ask() call it and return at once, ask() with no.
using Hook = std::function<void(const QString &text)>;
void setHook(Hook hook);
bool hasHook();

} // namespace messages

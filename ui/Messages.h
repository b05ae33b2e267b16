#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace messages {

// Shows a user message: modal, an OK button only, no icon, the application's
// title. Returns when the user has dismissed it.
void show(QWidget *parent, const QString &text);

// Tests answer message boxes through this hook instead of a real box: while a
// hook is set, show() calls it and returns at once.
using Hook = std::function<void(const QString &text)>;
void setHook(Hook hook);
bool hasHook();

} // namespace messages

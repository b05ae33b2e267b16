#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

// The windows have fixed layouts: every control is placed at its own pixel
// position and carries its name as objectName.
namespace controls {

// A label whose text starts at its top-left corner, as on the classic forms.
QLabel *label(QWidget *parent, const char *name, const QString &text, const QRect &geometry);

// A label of wrapped text, set for reading (see ParagraphLabel.h).
QLabel *paragraph(QWidget *parent, const char *name, const QString &text, const QRect &geometry);

// A command button: Enter and Space press it while it has the focus; Enter in
// another control does not press it.
QPushButton *button(QWidget *parent, const char *name, const QString &caption, const QRect &geometry);

// Sets the colour of a control's text.
void setTextColour(QWidget *widget, const QColor &colour);

} // namespace controls

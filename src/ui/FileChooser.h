#pragma once

#include <QString>

class QWidget;

// Qt's file dialogs, sized so that a long file name (a backup's date and
// time) shows whole: as large as the screen gives room for, up to a
// comfortable size, each column as wide as what it shows.
namespace filechooser {

// An existing file; empty when the user cancelled.
QString open(QWidget *parent, const QString &title, const QString &folderOrFile, const QString &filter);

// A file to write, proposed as folderOrFile; the dialog does not offer to
// replace a file that is there (the caller refuses it). Empty when the user
// cancelled.
QString save(QWidget *parent, const QString &title, const QString &folderOrFile, const QString &filter);

} // namespace filechooser

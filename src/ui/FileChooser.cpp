#include "FileChooser.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>

namespace filechooser {

namespace {

const QSize kComfortable(800, 500);

QString choose(QFileDialog &dialog)
{
    if (auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView")))
        details->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (const QScreen *screen = dialog.screen())
        dialog.resize(kComfortable.boundedTo(screen->availableGeometry().size() * 9 / 10));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

} // namespace

QString open(QWidget *parent, const QString &title, const QString &folderOrFile, const QString &filter)
{
    QFileDialog dialog(parent, title, folderOrFile, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return choose(dialog);
}

QString save(QWidget *parent, const QString &title, const QString &folderOrFile, const QString &filter)
{
    QFileDialog dialog(parent, title, folderOrFile, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return choose(dialog);
}

} // namespace filechooser

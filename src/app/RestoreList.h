#pragma once

#include <QDateTime>
#include <QDialog>

class QPushButton;
class QTreeWidget;

// The desktop's restore: every backup beside the family's file, newest
// first, as a date and time with the children and months it holds, the
// files earlier restores replaced marked as such; or a file from elsewhere,
// chosen in a file dialog. Closing it chooses nothing.
class RestoreList : public QDialog {
    Q_OBJECT
public:
    // folder: the backups' folder; elsewhere: where the file dialog opens.
    RestoreList(const QString &folder, const QString &elsewhere, QWidget *parent = nullptr);

    // The file chosen; empty until one is. When it is one of the list, the
    // moment it was made, as the list shows it.
    QString chosenFile() const { return m_chosen; }
    QDateTime chosenMade() const { return m_chosenMade; }

private:
    void fill(const QString &folder);
    void fitToRows();
    void restoreSelected();
    void chooseElsewhere();

    QTreeWidget *m_list = nullptr;
    QPushButton *m_restore = nullptr;
    QString m_elsewhere;
    QString m_chosen;
    QDateTime m_chosenMade;
};

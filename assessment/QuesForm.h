#pragma once

#include <QDialog>

// Placeholder until the window is built.
class QuesForm : public QDialog
{
    Q_OBJECT
public:
    explicit QuesForm(QWidget *parent = nullptr);
};

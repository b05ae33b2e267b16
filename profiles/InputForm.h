#pragma once

#include <QDialog>

// Placeholder until the window is built.
class InputForm : public QDialog
{
    Q_OBJECT
public:
    explicit InputForm(QWidget *parent = nullptr);
};

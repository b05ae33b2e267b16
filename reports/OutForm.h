#pragma once

#include <QDialog>

// Placeholder until the window is built.
class OutForm : public QDialog
{
    Q_OBJECT
public:
    explicit OutForm(QWidget *parent = nullptr);
};

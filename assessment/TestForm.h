#pragma once

#include <QDialog>

// Placeholder until the window is built.
class TestForm : public QDialog
{
    Q_OBJECT
public:
    explicit TestForm(QWidget *parent = nullptr);
};

#pragma once

#include <QDialog>

// Placeholder until the window is built.
class BrowForm : public QDialog
{
    Q_OBJECT
public:
    explicit BrowForm(QWidget *parent = nullptr);
};

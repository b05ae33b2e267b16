#include "BrowForm.h"

BrowForm::BrowForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("BrowForm"));
}

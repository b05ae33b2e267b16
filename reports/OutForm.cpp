#include "OutForm.h"

OutForm::OutForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("OutForm"));
}

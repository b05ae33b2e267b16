#include "QuesForm.h"

QuesForm::QuesForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("QuesForm"));
}

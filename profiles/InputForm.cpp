#include "InputForm.h"

InputForm::InputForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("InputForm"));
}

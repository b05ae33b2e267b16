#include "TestForm.h"

TestForm::TestForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TestForm"));
}

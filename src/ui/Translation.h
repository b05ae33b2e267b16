#pragma once

class QCoreApplication;

namespace translation {

// Qt's own texts (its file dialogs, the buttons of its message boxes) in
// Chinese, whatever the user's locale, like every text of the program; dates
// and numbers in Qt's dialogs as a Chinese reader writes them. The
// translation comes from Qt's translations package; without it Qt's texts
// stay English and the call returns false.
bool installChinese(QCoreApplication &app);

} // namespace translation

#pragma once

#include <QString>

namespace appinfo {

// The product and its home edition: the main window's title and the title of
// every message box.
inline const QString kTitle = QStringLiteral("禾岚多元智能测评系统（家庭版）");
// The product's full title, as the About dialog shows it.
inline const QString kProductTitle = QStringLiteral("禾岚多元智能测评系统");

// The program's version (the build's project version).
inline const QString kVersion = QStringLiteral(CG_VERSION);
// The About dialog's version line: major and minor version alone.
inline const QString kVersionCaption = QStringLiteral("版本 ver" CG_VERSION_MAJOR_MINOR);

} // namespace appinfo

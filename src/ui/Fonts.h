#pragma once

#include <QFont>
#include <QString>

// The windows ask for the classic Chinese Windows faces by name (宋体, 黑体,
// 隶书). On Linux those names are mapped once, at start-up, onto free CJK
// fonts of the same style, so every window keeps asking for the face it wants.
namespace fonts {

inline const QString kSimSun = QStringLiteral("SimSun");
inline const QString kSimHei = QStringLiteral("SimHei");
inline const QString kLiSu = QStringLiteral("LiSu");

// The point sizes several windows share: the text of most windows, and the
// larger text of the main window and the child's profile.
inline constexpr double kWindowPointSize = 12;
inline constexpr double kLargeWindowPointSize = 15.75;

// Registers the substitutions; safe to call more than once.
void installSubstitutions();

// A font of the given face and point size (fractional sizes as the layouts use).
QFont font(const QString &family, double pointSize, bool bold = false, bool italic = false);

// The font for a fixed text: when the face alone has every character of the
// text, the font is told not to look for fallback faces, which spares the
// search for them when the window is first shown.
QFont forFixedText(QFont font, const QString &text);

} // namespace fonts

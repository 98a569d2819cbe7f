// The program's pictures, drawn in code: the icon of both windows and the info window's banner.
#ifndef ALBUMORA_UI_QT_ARTWORK_H_
#define ALBUMORA_UI_QT_ARTWORK_H_

#include <QIcon>
#include <QImage>

namespace albumora {

inline constexpr int kIconSize = 32;
inline constexpr int kBannerWidth = 300;
inline constexpr int kBannerHeight = 76;

// A framed photo of a hill under the sun, 32 x 32.
QIcon ProgramIcon();
QImage ProgramIconImage();

// A landscape photo strip, 300 x 76.
QImage BannerImage();

}  // namespace albumora

#endif  // ALBUMORA_UI_QT_ARTWORK_H_

// Keeps a caption inside its control. The controls have fixed sizes; the few captions that are
// wider than their control in the font at hand are drawn a little smaller instead of being cut.
#ifndef ALBUMORA_UI_QT_TEXT_FIT_H_
#define ALBUMORA_UI_QT_TEXT_FIT_H_

#include <QFont>
#include <QString>

class QWidget;

namespace albumora {

// Smallest size a caption is shrunk to; below it the text is cut rather than unreadable.
inline constexpr double kSmallestCaptionPoints = 6.0;

// The width a control's caption may take: the control less its indicator, frame and margins.
// -1 for controls whose text scrolls or that show none.
int CaptionRoom(const QWidget& widget);

// The caption of a check box, option, label, push button or frame.
QString CaptionOf(const QWidget& widget);

// Gives the widget `base`, or a smaller size of it when its caption would not fit its room
// otherwise. Without `base`, the application font.
void FitCaption(QWidget& widget, const QFont& base);
void FitCaption(QWidget& widget);

}  // namespace albumora

#endif  // ALBUMORA_UI_QT_TEXT_FIT_H_

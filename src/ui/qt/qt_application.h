// What the desktop program asks of the Qt application as a whole.
#ifndef ALBUMORA_UI_QT_QT_APPLICATION_H_
#define ALBUMORA_UI_QT_QT_APPLICATION_H_

class QApplication;

namespace albumora {

// The Fusion style and an 8 pt application font: with them every control draws at its fixed
// size with nothing cut.
void ApplyProgramLook(QApplication& application);

// Handles the window events that are waiting now, then returns.
void HandlePendingWindowEvents();

}  // namespace albumora

#endif  // ALBUMORA_UI_QT_QT_APPLICATION_H_

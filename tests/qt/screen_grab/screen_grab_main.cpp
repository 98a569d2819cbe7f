// Saves what the X display shows (a region of it, or all) as a PNG: the README's screenshot of
// the running program under Xvfb.
//   screen_grab <file.png> [x y width height]
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc != 2 && argc != 6) {
    std::fprintf(stderr, "usage: screen_grab <file.png> [x y width height]\n");
    return 2;
  }
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    std::fprintf(stderr, "screen_grab: no screen\n");
    return 1;
  }
  const QPixmap picture = argc == 6 ? screen->grabWindow(0, std::atoi(argv[2]), std::atoi(argv[3]),
                                                         std::atoi(argv[4]), std::atoi(argv[5]))
                                    : screen->grabWindow(0);
  if (!picture.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "screen_grab: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}

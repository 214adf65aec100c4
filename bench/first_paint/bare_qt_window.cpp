// The floor of the start-to-first-paint benchmark: a Qt 6 window the size
// of a browser's, filled with the page's green and nothing else.
#include <QApplication>
#include <QPalette>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  QPalette palette = window.palette();
  palette.setColor(QPalette::Window, QColor(0x00, 0xff, 0x00));
  window.setPalette(palette);
  window.setAutoFillBackground(true);
  window.resize(800, 600);
  window.show();
  return application.exec();
}

#include <QApplication>

#include "app/form1.h"
#include "app/message_boxes.h"
#include "common/version.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("mirta2vesk"));
  QApplication::setApplicationVersion(QStringLiteral(M2V_VERSION));
  m2v::app::QtMessageBoxes boxes;
  return m2v::app::RunMainWindow(boxes);
}

#include "qt_test_input.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>

void TypeCharacters(QWidget* widget, const QString& text) {
  for (QChar character : text) {
    if (character.unicode() >= 0x20 && character.unicode() < 0x7F) {
      QTest::keyClick(widget, static_cast<char>(character.unicode()));
    } else {
      QInputMethodEvent commit;
      commit.setCommitString(QString(character));
      QApplication::sendEvent(widget, &commit);
    }
  }
}

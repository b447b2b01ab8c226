#include "qt_test_input.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>

namespace {

bool IsAscii(QChar character) { return character.unicode() >= 0x20 && character.unicode() < 0x7F; }

}  // namespace

void TypeCharacters(QWidget* widget, const QString& text) {
  int at = 0;
  while (at < text.size()) {
    int end = at;
    while (end < text.size() && IsAscii(text[end])) ++end;
    if (end > at) {  // a run of keys, pressed and released one by one
      QTest::keyClicks(widget, text.mid(at, end - at));
      at = end;
      continue;
    }
    QInputMethodEvent commit;
    commit.setCommitString(text.mid(at, 1));
    QApplication::sendEvent(widget, &commit);
    ++at;
  }
}

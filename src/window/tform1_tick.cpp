#include "window/tform1.h"

void TForm1::Timer1Timer() {
    // Reading the cursor is a round trip to the X server: an idle board leaves it alone.
    const QPoint screen = model_.tickUsesCursor() ? platform_.cursorPos() : QPoint();
    model_.tick(mapFromGlobal(screen), screen);
    keepClientRect();
    keepOuterSize();
    present();
}

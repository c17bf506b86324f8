#include "window/tform1.h"

void TForm1::Timer1Timer() {
    // Reading the cursor is a round trip to the X server: an idle board leaves it alone.
    bool real = true;
    const QPoint screen = model_.tickUsesCursor() ? readCursor(real) : QPoint();
    model_.tick(mapFromGlobal(screen), screen, real);
    keepInputWide();
    keepClientRect();
    keepOuterSize();
    present();
}

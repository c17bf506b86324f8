#include "tform1.h"

void TForm1::Timer1Timer() {
    const QPoint screen = platform_.cursorPos();
    model_.tick(mapFromGlobal(screen), screen);
    keepClientRect();
    keepOuterSize();
    present();
}

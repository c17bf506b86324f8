// Command handlers of the file, edit and dialog groups.
#include "tform1.h"

void TForm1::SpeedButton15Click() {}
void TForm1::SpeedButton16Click() {}
void TForm1::SpeedButton17Click() {}
void TForm1::SpeedButton18Click() {}
void TForm1::SpeedButton22Click() {}
void TForm1::Exit1Click() {}
void TForm1::SpeedButton23Click() {}
void TForm1::SpeedButton32Click() {}
void TForm1::SpeedButton24Click() {}
void TForm1::SpeedButton25Click() {}
void TForm1::SpeedButton34Click() {}
void TForm1::SpeedButton33Click() {}
void TForm1::SpeedButton29Click() {}
void TForm1::SpeedButton30Click() {}
void TForm1::SpeedButton35Click() {}
void TForm1::SpeedButton26Click() {}
void TForm1::SpeedButton27Click() {}

// "CalMTF" on the main window: the ROI's pixel values into the MTF window.
#include "app/form1.h"

void TForm1::ButtonToTableClick() {}

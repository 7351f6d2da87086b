// "CalWS" on the main window: the ROI and parameters into the Wiener spectrum window.
#include "app/form1.h"

void TForm1::ButtonCalWSClick() {}

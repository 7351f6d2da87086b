// "SaveROI", "Save", "SaveBMP" and "LoadBMP".
#include "app/form1.h"

void TForm1::ButtonSave512Click() {}
void TForm1::BitBtnSaveClick() {}
void TForm1::ButtonSaveBMPClick() {}
void TForm1::ButtonLoadBMPClick() {}

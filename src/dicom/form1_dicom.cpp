// The DICOM reader's window side: tag table, element log, summary and boxes;
// the anonymised copy.
#include "app/form1.h"

#include "common/errors.h"

void TForm1::buildDictionaryText() {}

void TForm1::ReadDicom()
{
    throw tarven::Error("The DICOM reader is not available yet: choose the mode \"16bit\" for raw files.");
}

void TForm1::ButtonSAVE_DICOMtagClick() {}
void TForm1::StringGridDTagDblClick() {}

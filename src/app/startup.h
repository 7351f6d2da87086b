#pragma once

class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;

namespace tarven {

// Creates the five windows once, in their order (main, MTF, Wiener spectrum,
// graph, about), and shows the main window. Does not run the event loop.
void createWindows();

// The windows created by createWindows(); null before it ran.
struct Windows {
    TForm1* form1 = nullptr;
    TForm2* form2 = nullptr;
    TForm3* form3 = nullptr;
    TForm4* form4 = nullptr;
    TForm5* form5 = nullptr;
};
Windows& windows();

// Deletes the windows (tests call it between cases).
void destroyWindows();

} // namespace tarven

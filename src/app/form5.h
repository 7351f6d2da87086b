#pragma once
#include <QDialog>

// The about window: fixed, shown modally from the main window's logo.
class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);
};

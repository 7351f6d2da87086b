#pragma once
#include <QDialog>

// The graph window: draws the main window's last histogram or profile.
class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
};

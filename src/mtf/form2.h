#pragma once
#include <QWidget>

// The MTF window: the ROI's pixel table, the LSF and the MTF.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    double pixelSize = 0; // mm, shared by the MTF computations and listings
};

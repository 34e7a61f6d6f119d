#pragma once
// The about box.

#include <QDialog>

class TfInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfInfo(QWidget *parent = nullptr);
};

#pragma once
// The entity view "Сущность": one entity described in words, with its values in a given
// consultation. Read-only; one OK button closes it.

#include "ui/ReportDialog.h"

namespace consultation {

class TfShowObj : public ui::ReportDialog {
    Q_OBJECT
public:
    TfShowObj(QWidget *parent, int factId, int sittingId);
};

// Shows the entity view modally, centred on its owner.
void ShowObj(QWidget *parent, int factId, int sittingId);

}  // namespace consultation

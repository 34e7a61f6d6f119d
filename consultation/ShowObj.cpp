#include "consultation/ShowObj.h"

#include "consultation/Inspection.h"
#include "ui/ReportPane.h"


namespace consultation {

TfShowObj::TfShowObj(QWidget *parent, int factId, int sittingId) : ui::ReportDialog(parent)
{
    setObjectName(QStringLiteral("fShowObj"));
    setWindowTitle(QStringLiteral("Сущность"));
    setMinimumSize(373, 240);
    resize(460, 400);

    pane()->setReport(ObjText(factId, sittingId));
}

void ShowObj(QWidget *parent, int factId, int sittingId)
{
    TfShowObj form(parent, factId, sittingId);
    form.exec();
}

}  // namespace consultation

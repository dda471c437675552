#include "rotation/RunFolders.h"

#include "app/Form1.h"
#include "controls/FolderList.h"
#include "controls/TickBox.h"

QStringList runFolders(Form1& form) {
    QStringList folders = {form.Dir1->Path(), form.services().holdingFolder};
    if (form.chk1->Value() == 1)
        folders.append(form.dirOp1->Path());
    if (form.chk2->Value() == 1)
        folders.append(form.dirOp2->Path());
    return folders;
}

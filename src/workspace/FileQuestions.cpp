#include "workspace/FileQuestions.h"

#include "app/mCommonDialog.h"

namespace tw {

QString askForFile(const FileQuestion& q, int64_t owner)
{
    QString file = q.initialFile;
    QString fileTitle;
    bool readOnly = false;
    QString filter = q.filter;
    int32_t filterIndex = 1;
    int32_t flags = 0;
    const bool chosen = VBGetOpenFileName(file, fileTitle, q.mustExist, false, readOnly, q.hideReadOnly, filter,
                                          filterIndex, q.initialDir, q.title, q.defaultExt, owner, flags, q.save);
    return chosen ? file : QString();
}

} // namespace tw

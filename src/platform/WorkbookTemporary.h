#pragma once
// The temporary files a workbook is written into before it takes its name.
//
// Each lies in the workbook's own folder as ".workbook-" and six letters or
// digits, and is held (locked, as every temporary file of FileWrite.h) by
// the process writing it for as long as the write runs. One that nobody
// holds was left by a program that was ended in the middle of a write;
// removeWorkbookLeftovers (Workbook.h) takes those away.

#include <QString>
#include <QTemporaryFile>
#include <memory>

namespace tw::platform {

// A new, empty temporary file in `folder`, open and held by this process
// until it is destroyed; nullptr, with the reason in `why`, when none can be
// made.
std::unique_ptr<QTemporaryFile> newHeldWorkbookTemporary(const QString& folder, QString* why);

// Whether `name` is the name of such a temporary file.
bool isWorkbookTemporaryName(const QString& name);

} // namespace tw::platform

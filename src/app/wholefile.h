// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Saving a file all or nothing, for everything the dialog and the chart save:
//
//   bytes --unbuffered writes to a new file--> on the disk? --commit--> the file's name
//
// A short or failed write, a failed sync or a failed commit discards the new file: an
// earlier file of that name stays as it was, and no short file ever looks saved.

#include <QByteArray>
#include <QString>

namespace quillon::app {

// Empty when `bytes` are the whole file at `path`; else why not (the system's words).
QString writeWholeFile(const QString& path, const QByteArray& bytes);

}  // namespace quillon::app

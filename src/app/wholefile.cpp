// SPDX-License-Identifier: GPL-3.0-or-later
#include "wholefile.h"

#include <unistd.h>

#include <QSaveFile>
#include <cerrno>
#include <cstring>

namespace quillon::app {

QString writeWholeFile(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  // Unbuffered: each write reaches the file here, where its count can be checked.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return file.errorString();
  for (qsizetype done = 0; done < bytes.size();) {
    // A short write is followed by one for the rest, which fails with the reason (a full
    // disk, a file size limit). Returning without a commit discards the new file.
    const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
    if (n <= 0) return file.errorString();
    done += n;
  }
  // The commit does not report a failed sync; a file that may not be on the disk must not
  // replace one that is.
  if (::fdatasync(file.handle()) != 0) return QString::fromLocal8Bit(std::strerror(errno));
  return file.commit() ? QString() : file.errorString();
}

}  // namespace quillon::app

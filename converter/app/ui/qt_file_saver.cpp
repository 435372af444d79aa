#include "qt_file_saver.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace ondrel {

bool QtFileSaver::Save(const std::string& path, std::string_view bytes) {
    const QString name = QString::fromStdString(path);
    const qint64 size = static_cast<qint64>(bytes.size());
    const QFileInfo target(name);
    if (target.exists() && !target.isFile()) {
        if (target.isDir()) return false;
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly)) return false;
        bool written = file.write(bytes.data(), size) == size;
        written = file.flush() && written;
        file.close();
        return written && file.error() == QFileDevice::NoError;
    }
    QSaveFile file(name);
    // A folder the user cannot write keeps its existing, writable files writable: they are
    // then truncated and rewritten.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes.data(), size) != size) {
        file.cancelWriting(); // the temporary file goes, the old file stays
        return false;
    }
    return file.commit();
}

} // namespace ondrel

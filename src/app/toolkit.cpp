#include "app/toolkit.h"

#include <QDir>

QString joinPath(const QString& folder, const QString& name) {
    return folder + QDir::separator() + name;
}

#include "SkinnedWindow.h"

#include <QDir>
#include <QFile>
#include <QUiLoader>
#include <QVBoxLayout>
#include <QWidget>

#include <cmath>
#include <stdexcept>
#include <string>

namespace skinned {

QWidget* LoadDesign(QWidget* host, const QString& resource, const QString& pluginDir,
                    const QString& pictureDir, const char* what) {
    QUiLoader loader;
    loader.addPluginPath(pluginDir);
    if (!pictureDir.isEmpty())
        loader.setWorkingDirectory(QDir(pictureDir));
    QFile design(resource);
    design.open(QFile::ReadOnly);
    QWidget* form = loader.load(&design, host);
    if (form == nullptr)
        throw std::runtime_error(std::string(what) +
                                 " cannot be loaded: " + loader.errorString().toStdString());
    // The design paints the whole window; outside the skin's outline, which
    // the skin control cuts its painting to, the desktop shows through.
    host->setAttribute(Qt::WA_TranslucentBackground);
    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(form);
    host->setFixedSize(form->size());
    return form;
}

void PassPointer(QWidget* skin, QPointF inWindow) {
    skin->setProperty("Mouse_X_Pos", int(std::nearbyint(inWindow.x())));
    skin->setProperty("Mouse_Y_Pos", int(std::nearbyint(inWindow.y())));
}

bool FifthMove(qint16& count) {
    if (count != 4) {
        ++count;
        return false;
    }
    count = 0;
    return true;
}

} // namespace skinned

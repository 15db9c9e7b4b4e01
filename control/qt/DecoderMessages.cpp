#include "DecoderMessages.h"

#include "Notifier.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include <cstdio>

namespace audiocore {

namespace {

void ShowMessage(const QString& caption, const QString& text) {
    QMessageBox::critical(nullptr, caption, text);
}

} // namespace

void InstallDecoderMessages() {
    SetNotifier([](const std::string& caption, const std::string& text) {
        QCoreApplication* app = QCoreApplication::instance();
        const QString qcaption = QString::fromStdString(caption);
        const QString qtext = QString::fromStdString(text);
        if (!app) {
            std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
            return;
        }
        if (QThread::currentThread() == app->thread())
            ShowMessage(qcaption, qtext);
        else
            // A worker must not wait for the user: the box comes up on the
            // application's thread while decoding goes on.
            QMetaObject::invokeMethod(
                app, [qcaption, qtext] { ShowMessage(qcaption, qtext); }, Qt::QueuedConnection);
    });
}

} // namespace audiocore

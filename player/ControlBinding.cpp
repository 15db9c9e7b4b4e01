#include "ControlBinding.h"

#include <QDebug>
#include <QFileInfo>
#include <QMetaObject>

namespace {

// Not the main window's own title, which the skin control looks windows up by.
const QString kCaption = QStringLiteral("Songwell: song not played");

QString ErrorText(const QString& subject, const QString& reason) {
    if (subject.isEmpty())
        return reason;
    QString text = QStringLiteral("\"%1\" cannot be opened.\n\n%2").arg(subject, reason);
    const QString problem = FileProblem(subject);
    return text + "\n" +
           (problem.isEmpty() ? QStringLiteral("The file holds no playable MPEG audio.") : problem);
}

} // namespace

QString FileProblem(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("The file does not exist.");
    if (info.isDir())
        return QStringLiteral("It is a folder, not a file.");
    if (!info.isFile())
        return QStringLiteral("It is not a regular file (a pipe or a device).");
    if (!info.isReadable())
        return QStringLiteral("The file cannot be read (permission denied).");
    return QString();
}

void ControlBinding::Report(const QString& text) const {
    if (report_)
        report_(kCaption, text);
}

bool ControlBinding::Guard(QObject* control, const char* member, const QString& subject,
                           const std::function<bool()>& call, bool report) const {
    if (control == nullptr)
        return false;
    if (!call()) {
        qWarning("songwell: the control %s has no member %s", qPrintable(control->objectName()),
                 member);
        return false;
    }
    // A control answers a failure with a safe value and keeps the error for
    // the host to take.
    QString error;
    const bool asked = control->metaObject()->indexOfMethod("TakeError()") >= 0 &&
                       QMetaObject::invokeMethod(control, "TakeError", Qt::DirectConnection,
                                                 Q_RETURN_ARG(QString, error));
    if (!asked || error.isEmpty())
        return true;
    if (report)
        Report(ErrorText(subject, error));
    return false;
}

QVariant ControlBinding::Get(QObject* control, const char* name) const {
    QVariant value;
    Guard(control, name, QString(), [&] {
        value = control->property(name);
        return value.isValid();
    });
    return value;
}

bool ControlBinding::Set(QObject* control, const char* name, const QVariant& value,
                         const QString& subject) const {
    return SetProperty(control, name, value, subject, true);
}

bool ControlBinding::SetQuietly(QObject* control, const char* name, const QVariant& value) const {
    return SetProperty(control, name, value, QString(), false);
}

bool ControlBinding::SetProperty(QObject* control, const char* name, const QVariant& value,
                                 const QString& subject, bool report) const {
    return Guard(
        control, name, subject,
        [&] {
            // Setting an unknown name would only add a dynamic property.
            if (control->metaObject()->indexOfProperty(name) < 0)
                return false;
            control->setProperty(name, value);
            return true;
        },
        report);
}

int ControlBinding::CallInt(QObject* control, const char* method, int fallback) const {
    int result = fallback;
    if (!Guard(control, method, QString(), [&] {
            return QMetaObject::invokeMethod(control, method, Qt::DirectConnection,
                                             Q_RETURN_ARG(int, result));
        }))
        return fallback;
    return result;
}

int ControlBinding::CallInt(QObject* control, const char* method, int argument,
                            int fallback) const {
    int result = fallback;
    if (!Guard(control, method, QString(), [&] {
            return QMetaObject::invokeMethod(control, method, Qt::DirectConnection,
                                             Q_RETURN_ARG(int, result), Q_ARG(int, argument));
        }))
        return fallback;
    return result;
}

int ControlBinding::CallInt(QObject* control, const char* method, const QString& argument,
                            int fallback) const {
    int result = fallback;
    if (!Guard(control, method, argument, [&] {
            return QMetaObject::invokeMethod(control, method, Qt::DirectConnection,
                                             Q_RETURN_ARG(int, result), Q_ARG(QString, argument));
        }))
        return fallback;
    return result;
}

bool ControlBinding::CallBool(QObject* control, const char* method) const {
    bool result = false;
    if (!Guard(control, method, QString(), [&] {
            return QMetaObject::invokeMethod(control, method, Qt::DirectConnection,
                                             Q_RETURN_ARG(bool, result));
        }))
        return false;
    return result;
}

QString ControlBinding::CallString(QObject* control, const char* method) const {
    QString result;
    if (!Guard(control, method, QString(), [&] {
            return QMetaObject::invokeMethod(control, method, Qt::DirectConnection,
                                             Q_RETURN_ARG(QString, result));
        }))
        return QString();
    return result;
}

void ControlBinding::Call(QObject* control, const char* method, QGenericArgument a1,
                          QGenericArgument a2) const {
    Guard(control, method, QString(),
          [&] { return QMetaObject::invokeMethod(control, method, Qt::DirectConnection, a1, a2); });
}

#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>

// Shows a message to the user: a caption and a text.
using MessageSink = std::function<void(const QString& caption, const QString& text)>;

// Late-bound access to a hosted control by member name, the way the player
// drives controls it does not link against. A control reports a failure by
// keeping a control error, which the host takes after the call (TakeError);
// this is the one place that turns such an error into a message for the
// user. Every member answers a safe value when the call failed.
class ControlBinding {
public:
    explicit ControlBinding(MessageSink report) : report_(std::move(report)) {}

    QVariant Get(QObject* control, const char* name) const;
    // subject names what the call was about (a file) in the message.
    bool Set(QObject* control, const char* name, const QVariant& value,
             const QString& subject = QString()) const;
    // The same without a message when the control refuses the value.
    bool SetQuietly(QObject* control, const char* name, const QVariant& value) const;

    // Methods without or with one int argument, answering int, bool, text
    // or nothing. A missing member or a raised error answers the fallback.
    int CallInt(QObject* control, const char* method, int fallback = -1) const;
    int CallInt(QObject* control, const char* method, int argument, int fallback) const;
    int CallInt(QObject* control, const char* method, const QString& argument, int fallback) const;
    bool CallBool(QObject* control, const char* method) const;
    QString CallString(QObject* control, const char* method) const;
    void Call(QObject* control, const char* method, QGenericArgument a1 = QGenericArgument(),
              QGenericArgument a2 = QGenericArgument()) const;

    void Report(const QString& text) const;

private:
    // Runs a late-bound call; false when the control raised an error or
    // lacks the member.
    bool Guard(QObject* control, const char* member, const QString& subject,
               const std::function<bool()>& call, bool report = true) const;
    bool SetProperty(QObject* control, const char* name, const QVariant& value,
                     const QString& subject, bool report) const;

    MessageSink report_;
};

// Why a file could not be opened as far as the file system can tell; empty
// when the file is there and readable (then its content is at fault).
QString FileProblem(const QString& path);

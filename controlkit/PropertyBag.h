#pragma once

#include <QString>
#include <QVariant>

namespace controlkit {

// The host's store of a control's persisted properties, shared by every
// control of the system. Each property is read and written under its own name
// together with its default: a bag keeps no entry for a property written at
// its default, and answers the default for a name it does not hold.
class PropertyBag {
public:
    virtual ~PropertyBag() = default;

    virtual QVariant read(const QString& name, const QVariant& defaultValue) = 0;
    virtual void write(const QString& name, const QVariant& value,
                       const QVariant& defaultValue) = 0;
};

} // namespace controlkit

#pragma once

// A property bag held in memory, as a host's store: it keeps no entry for a
// value written at its default, and records every read and write in order.

#include "controlkit/PropertyBag.h"

#include <QMap>
#include <QStringList>
#include <QVariantList>

namespace testsupport {

class MemoryPropertyBag : public controlkit::PropertyBag {
public:
    QVariant read(const QString& name, const QVariant& defaultValue) override {
        reads.append(name);
        readDefaults.append(defaultValue);
        order.append(name);
        return values.contains(name) ? values.value(name) : defaultValue;
    }
    void write(const QString& name, const QVariant& value, const QVariant& defaultValue) override {
        writes.append(name);
        writeDefaults.append(defaultValue);
        order.append(name);
        if (value == defaultValue)
            values.remove(name);
        else
            values.insert(name, value);
    }

    QMap<QString, QVariant> values;
    QStringList reads, writes;
    // Reads and writes together, as they came.
    QStringList order;
    QVariantList readDefaults, writeDefaults;
};

} // namespace testsupport

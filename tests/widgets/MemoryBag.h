#pragma once

// A property bag held in memory, as a host's store: it leaves out values
// written at their default, and records the order of reads and writes.

#include "skin/PropertyBag.h"

#include <QList>
#include <QMap>
#include <QStringList>

namespace widgettest {

class MemoryBag : public skinform::PropertyBag {
public:
    QVariant read(const QString& name, const QVariant& defaultValue) override {
        reads.append(name);
        return values.contains(name) ? values.value(name) : defaultValue;
    }
    void write(const QString& name, const QVariant& value, const QVariant& defaultValue) override {
        writes.append(name);
        if (value == defaultValue)
            values.remove(name);
        else
            values.insert(name, value);
    }

    QMap<QString, QVariant> values;
    QStringList reads;
    QStringList writes;
};

} // namespace widgettest

#include "LumenPlugin.h"

#include "CustomListBoxPlugin.h"
#include "PBarYPlugin.h"

LumenPlugin::LumenPlugin(QObject* parent) : QObject(parent) {
    widgets_.append(new CustomListBoxPlugin(this));
    widgets_.append(new PBarYPlugin(this));
}

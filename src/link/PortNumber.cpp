#include "link/PortNames.h"

int PortItemForName(const QString& name, int itemCount) {
    bool ok = false;
    const int number = name.mid(3).toInt(&ok);
    if (!ok || number < 1 || number > itemCount)
        return -1;
    return number - 1;
}

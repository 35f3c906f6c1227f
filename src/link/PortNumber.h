#pragma once

#include <QString>

// The list item a port name selects in a port dialog: the number after the first three
// characters, less one ("COM12" gives 11). -1 when there is no such number or its item does
// not exist among `itemCount`.
int PortItemForName(const QString& name, int itemCount);

#pragma once

#include <QByteArray>

// The shared part of every selection helper (data/selection/selection-helper.sh,
// compiled in at configure time).
QByteArray selectionHelperBody();

#pragma once

#include <QString>
#include <QStringView>

// Orders names by their first number when the texts before it match ("Channel 9" before
// "Channel 10"); otherwise locale-aware. Negative when a goes first.
int naturalCompare(const QString &a, const QString &b);
int naturalCompare(QStringView a, QStringView b);

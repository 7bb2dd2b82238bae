#pragma once

#include <QMetaType>
#include <QtGlobal>

// The unit of every count of the progress panel.
typedef quint64 Steps;

Q_DECLARE_METATYPE(Steps)

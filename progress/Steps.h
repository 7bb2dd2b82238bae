// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QMetaType>
#include <QtGlobal>

// The unit of every count of the progress panel.
typedef quint64 Steps;

Q_DECLARE_METATYPE(Steps)

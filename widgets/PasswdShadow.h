// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QEvent>

// The events a password editor passes on to its hidden shadow editor, so that
// typing, clicking, selecting, moving and resizing act on the real text in
// step with the masked display.
inline bool forwardedToShadow(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
    case QEvent::Move:
    case QEvent::Resize:
        return true;
    default:
        return false;
    }
}

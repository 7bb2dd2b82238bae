// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "python/PythonHeaders.h"

#include <QString>
#include <QSysInfo>

namespace PyText {

// The text of a str object, straight from the string's own storage: fast for
// the hundreds of thousands of names a collection reads, and no encoding can
// fail.
inline QString toQString(PyObject* unicode)
{
    Py_ssize_t const length = PyUnicode_GET_LENGTH(unicode);
    void const* data = PyUnicode_DATA(unicode);
    switch (PyUnicode_KIND(unicode)) {
    case PyUnicode_1BYTE_KIND:
        return QString::fromLatin1(static_cast<char const*>(data), length);
    case PyUnicode_2BYTE_KIND:
        return QString::fromUtf16(static_cast<char16_t const*>(data), length);
    default: {
        // By hand: a lone surrogate, which a str may hold, stays one.
        auto const* points = static_cast<Py_UCS4 const*>(data);
        QString text;
        text.reserve(length);
        for (Py_ssize_t i = 0; i < length; ++i) {
            char32_t const point = points[i];
            if (QChar::requiresSurrogates(point)) {
                text += QChar(QChar::highSurrogate(point));
                text += QChar(QChar::lowSurrogate(point));
            } else {
                text += QChar(char16_t(point));
            }
        }
        return text;
    }
    }
}

// A new str object holding text; a lone surrogate stays what it was.
inline PyObject* fromQString(QString const& text)
{
    int order = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? -1 : 1;
    return PyUnicode_DecodeUTF16(reinterpret_cast<char const*>(text.utf16()),
        text.size() * Py_ssize_t(sizeof(char16_t)), "surrogatepass", &order);
}

} // namespace PyText

// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "base/Credentials.h"
#include "python/PyText.h"
#include "yumio/YumIOCModule.h"

PyObject* YumIOCModule::maskCredentials(PyObject*, PyObject* args)
{
    PyObject* text = nullptr;
    if (!PyArg_ParseTuple(args, "U", &text))
        return nullptr;
    QString const original = PyText::toQString(text);
    QString const masked = Credentials::masked(original);
    if (masked == original) {
        // Most texts hold no credentials: the very object goes back.
        Py_INCREF(text);
        return text;
    }
    return PyText::fromQString(masked);
}

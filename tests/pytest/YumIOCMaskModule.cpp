// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "yumio/YumIOCModule.h"

// yumIOC's maskCredentials as a module of its own, built from the program's
// pieces: the stand-in yumIOC of these suites (yumioc_recorder.py) lends it to
// the companion script, which then masks by the program's rule here too.
namespace {

PyMethodDef methods[] = {
    {"maskCredentials", YumIOCModule::maskCredentials, METH_VARARGS, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PyModuleDef definition = {
    PyModuleDef_HEAD_INIT, "yumioc_mask", nullptr, -1, methods, nullptr, nullptr, nullptr, nullptr};

} // namespace

PyMODINIT_FUNC PyInit_yumioc_mask()
{
    return PyModule_Create(&definition);
}

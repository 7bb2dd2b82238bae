// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "yumio/YumIOCModule.h"
#include "yumio/YumIO.h"

namespace {

YumIO* engine = nullptr;

// A callback called while no engine is set answers with an exception the
// script can see, instead of reaching freed memory.
PyObject* noEngine()
{
    PyErr_SetString(PyExc_RuntimeError, "yumIOC has no engine");
    return nullptr;
}

#define YUMIOC_CALLBACK(name)                                                                      \
    PyObject* name(PyObject*, PyObject* args)                                                      \
    {                                                                                              \
        return engine ? engine->name(args) : noEngine();                                           \
    }

YUMIOC_CALLBACK(stdoutWrite)
YUMIOC_CALLBACK(stderrWrite)
YUMIOC_CALLBACK(log)
YUMIOC_CALLBACK(errorlog)
YUMIOC_CALLBACK(collectProgress)
YUMIOC_CALLBACK(collectGrabMeterStart)
YUMIOC_CALLBACK(collectGrabMeterUpdate)
YUMIOC_CALLBACK(collectGrabMeterEnd)
YUMIOC_CALLBACK(applyGrabMeterStart)
YUMIOC_CALLBACK(applyGrabMeterUpdate)
YUMIOC_CALLBACK(applyGrabMeterEnd)
YUMIOC_CALLBACK(dsTsCheck)
YUMIOC_CALLBACK(dsRestartLoop)
YUMIOC_CALLBACK(userconfirm)
YUMIOC_CALLBACK(reportDownloadSize)
YUMIOC_CALLBACK(listTransaction)
YUMIOC_CALLBACK(tsInitCallback)
YUMIOC_CALLBACK(tsCallback)
YUMIOC_CALLBACK(tsEvent)
YUMIOC_CALLBACK(postTransactionOutput)
YUMIOC_CALLBACK(interrupted)
YUMIOC_CALLBACK(confirmKeyImport)

#undef YUMIOC_CALLBACK

PyMethodDef methods[] = {
    {"stdoutWrite", stdoutWrite, METH_VARARGS, nullptr},
    {"stderrWrite", stderrWrite, METH_VARARGS, nullptr},
    {"log", log, METH_VARARGS, nullptr},
    {"errorlog", errorlog, METH_VARARGS, nullptr},
    {"collectProgress", collectProgress, METH_VARARGS, nullptr},
    {"collectGrabMeterStart", collectGrabMeterStart, METH_VARARGS, nullptr},
    {"collectGrabMeterUpdate", collectGrabMeterUpdate, METH_VARARGS, nullptr},
    {"collectGrabMeterEnd", collectGrabMeterEnd, METH_VARARGS, nullptr},
    {"applyGrabMeterStart", applyGrabMeterStart, METH_VARARGS, nullptr},
    {"applyGrabMeterUpdate", applyGrabMeterUpdate, METH_VARARGS, nullptr},
    {"applyGrabMeterEnd", applyGrabMeterEnd, METH_VARARGS, nullptr},
    {"dsTsCheck", dsTsCheck, METH_VARARGS, nullptr},
    {"dsRestartLoop", dsRestartLoop, METH_VARARGS, nullptr},
    {"userconfirm", userconfirm, METH_VARARGS, nullptr},
    {"reportDownloadSize", reportDownloadSize, METH_VARARGS, nullptr},
    {"listTransaction", listTransaction, METH_VARARGS, nullptr},
    {"tsInitCallback", tsInitCallback, METH_VARARGS, nullptr},
    {"tsCallback", tsCallback, METH_VARARGS, nullptr},
    {"tsEvent", tsEvent, METH_VARARGS, nullptr},
    {"postTransactionOutput", postTransactionOutput, METH_VARARGS, nullptr},
    {"interrupted", interrupted, METH_VARARGS, nullptr},
    {"confirmKeyImport", confirmKeyImport, METH_VARARGS, nullptr},
    {"maskCredentials", YumIOCModule::maskCredentials, METH_VARARGS, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PyModuleDef definition = {
    PyModuleDef_HEAD_INIT,
    "yumIOC",
    "Callbacks from the companion script into Vux.",
    -1,
    methods,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

} // namespace

bool YumIOCModule::registerModule(YumIO* newEngine)
{
    engine = newEngine;
    PyObject* modules = PyImport_GetModuleDict(); // borrowed
    if (PyDict_GetItemString(modules, "yumIOC"))
        return true;
    PyObject* module = PyModule_Create(&definition);
    if (!module)
        return false;
    int const result = PyDict_SetItemString(modules, "yumIOC", module);
    Py_DECREF(module);
    return result == 0;
}

void YumIOCModule::detach(YumIO* oldEngine)
{
    if (engine == oldEngine)
        engine = nullptr;
}

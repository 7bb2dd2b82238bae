// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "python/Python.h"

#include <QByteArray>

#include <cstdio>
#include <cstring>

bool Python::initialized = false;
PyObject* Python::main_dict = nullptr;

namespace {

// The object that started the interpreter ends it.
Python* starter = nullptr;

bool isModule(PyObject* object)
{
    return PyModule_Check(object);
}

} // namespace

// ---------------------------------------------------------------------------
// PyGILStateWrapper

Python::PyGILStateWrapper::PyGILStateWrapper(bool take)
    : take(take)
{
    ensure();
}

Python::PyGILStateWrapper::~PyGILStateWrapper()
{
    release();
}

void Python::PyGILStateWrapper::ensure()
{
    if (take && !held) {
        state = PyGILState_Ensure();
        held = true;
    }
}

void Python::PyGILStateWrapper::release()
{
    if (take && held) {
        PyGILState_Release(static_cast<PyGILState_STATE>(state));
        held = false;
    }
}

// ---------------------------------------------------------------------------
// Lifecycle

Python::Python() = default;

Python::~Python()
{
    if (initialized && starter == this) {
        PyGILState_Ensure();
        Py_Finalize();
        initialized = false;
        main_dict = nullptr;
        starter = nullptr;
    }
}

bool Python::initialize()
{
    if (initialized)
        return true;
    initialized = true;
    starter = this;

    Py_Initialize(); // this thread now holds the interpreter lock
    {
        PyGILStateWrapper lock(true);
        // The interpreter's own handler; when something else handled SIGINT
        // before the interpreter started, getsignal() knows no Python handler.
        PyRun_SimpleString("import signal\n"
                           "defaultSigIntSigaction = signal.getsignal(signal.SIGINT)\n"
                           "if not callable(defaultSigIntSigaction):\n"
                           "    defaultSigIntSigaction = signal.default_int_handler\n");
    }

    PyObject* mainModule = PyImport_AddModule("__main__"); // borrowed
    if (!mainModule) {
        PyErr_Clear();
        error("Internal error: cannot find python __main__ module\n");
        PyEval_SaveThread();
        return false;
    }
    main_dict = PyModule_GetDict(mainModule);
    if (!main_dict) {
        error("Internal error: cannot find python __main__ dict\n");
        PyEval_SaveThread();
        return false;
    }

    // From here on no thread holds the lock between operations.
    PyEval_SaveThread();
    return true;
}

// ---------------------------------------------------------------------------
// Running code

void Python::py(char const* statements)
{
    if (PyRun_SimpleString(statements) != 0 && PyErr_Occurred())
        handleException();
}

PyObject* Python::pyr(char const* expression)
{
    PyObject* result = PyRun_String(expression, Py_eval_input, main_dict, main_dict);
    if (!result && PyErr_Occurred())
        handleException();
    return result;
}

// ---------------------------------------------------------------------------
// Lookup and values

PyObject* Python::pyLookup(char const* name)
{
    QByteArray const whole(name);
    QList<QByteArray> const parts = whole.split('.');
    PyObject* object = nullptr;
    for (int i = 0; i < parts.size(); ++i) {
        QByteArray const& part = parts[i];
        if (i == 0) {
            object = main_dict ? PyDict_GetItemString(main_dict, part.constData()) : nullptr;
            if (!object) {
                PyErr_Clear();
                PyObject* module = PyImport_ImportModule(part.constData());
                if (!module) {
                    PyErr_Clear();
                    internalError("Internal error: %s not found\n", part.constData());
                    return nullptr;
                }
                // sys.modules keeps the module alive; hand out a borrowed reference.
                object = module;
                Py_DECREF(module);
            }
            continue;
        }
        PyObject* dict = object;
        if (isModule(object)) {
            dict = PyModule_GetDict(object);
            if (!dict) {
                PyErr_Clear();
                internalError("Internal error: module %s lacks dictionary\n",
                    PyModule_GetName(object) ? PyModule_GetName(object) : "?");
                return nullptr;
            }
        }
        object = PyDict_Check(dict) ? PyDict_GetItemString(dict, part.constData()) : nullptr;
        if (!object) {
            PyErr_Clear();
            internalError("Internal error: %s not found\n", part.constData());
            return nullptr;
        }
    }
    return object;
}

namespace {

// The dictionary behind a container: a module's own, or the object itself.
PyObject* containerDict(PyObject* container, bool& lacksDictionary)
{
    lacksDictionary = false;
    if (PyModule_Check(container)) {
        PyObject* dict = PyModule_GetDict(container);
        if (!dict)
            lacksDictionary = true;
        return dict;
    }
    return container;
}

} // namespace

PyObject* Python::pyValue(char const* container, char const* item)
{
    PyObject* object = pyLookup(container); // reports a failed lookup itself
    if (!object)
        return nullptr;
    bool lacks = false;
    PyObject* dict = containerDict(object, lacks);
    if (lacks) {
        internalError("Internal error: module %s lacks dictionary\n", container);
        return nullptr;
    }
    PyObject* key = PyUnicode_FromString(item);
    if (!key) {
        handleException();
        return nullptr;
    }
    PyObject* value = PyDict_Check(dict) ? PyDict_GetItemWithError(dict, key) : nullptr;
    Py_DECREF(key);
    if (!value && PyErr_Occurred())
        handleException();
    return value;
}

bool Python::pyAssign(char const* container, char const* item, PyObject* value)
{
    PyObject* object = pyLookup(container);
    if (!object)
        return false;
    bool lacks = false;
    PyObject* dict = containerDict(object, lacks);
    if (lacks) {
        internalError("Internal error: module %s lacks dictionary\n", container);
        return false;
    }
    if (PyDict_Check(dict) && PyDict_SetItemString(dict, item, value) == 0)
        return true;
    if (PyErr_Occurred())
        handleException();
    else
        internalError("Internal error: cannot assign %s.%s\n", container, item);
    return false;
}

int Python::pyAssignGlobal(char const* name, PyObject* value)
{
    return PyDict_SetItemString(main_dict, name, value);
}

long Python::pyVersion()
{
    PyObject* version = pyValue("sys", "hexversion");
    return version ? PyLong_AsLong(version) : 0;
}

char const* Python::pyString(PyObject* object)
{
    if (!object) {
        internalError("Internal error: pyString passed NULL python object\n");
        return nullptr;
    }
    if (object == Py_None)
        return nullptr;
    if (PyBytes_Check(object))
        return PyBytes_AsString(object);
    if (PyUnicode_Check(object)) {
        char const* text = PyUnicode_AsUTF8(object);
        if (!text)
            handleException();
        return text;
    }
    PyErr_Format(PyExc_TypeError, "expected a string, %.200s found", Py_TYPE(object)->tp_name);
    handleException();
    return nullptr;
}

// ---------------------------------------------------------------------------
// Calls

namespace {

// Py_BuildValue gives a bare object for a format without parentheses; calls
// always take a tuple.
PyObject* asTuple(PyObject* built)
{
    if (!built || PyTuple_Check(built))
        return built;
    PyObject* tuple = PyTuple_Pack(1, built);
    Py_DECREF(built);
    return tuple;
}

} // namespace

PyObject* Python::pyCall(char const* name, char const* format, ...)
{
    va_list args;
    va_start(args, format);
    PyObject* result = pyVCall(name, format, args);
    va_end(args);
    return result;
}

PyObject* Python::pyVCall(char const* name, char const* format, va_list args)
{
    PyObject* callable = pyLookup(name); // reports "not found" itself
    if (!callable)
        return nullptr;
    if (!PyCallable_Check(callable)) {
        internalError("Internal error: %s not callable\n", name);
        return nullptr;
    }
    PyObject* arguments = asTuple(Py_VaBuildValue(format, args));
    if (!arguments) {
        handleException();
        return nullptr;
    }
    PyObject* result = PyObject_Call(callable, arguments, nullptr);
    Py_DECREF(arguments);
    if (!result && PyErr_Occurred())
        handleException();
    return result;
}

PyObject* Python::pyMethodCall(PyObject* object, char const* method, char const* format, ...)
{
    va_list args;
    va_start(args, format);
    PyObject* result = pyVMethodCall(object, method, format, args);
    va_end(args);
    return result;
}

PyObject* Python::pyVMethodCall(
    PyObject* object, char const* method, char const* format, va_list args)
{
    if (!object) {
        internalError("Internal error: method %s call attemped with NULL self\n", method);
        return nullptr;
    }
    PyObject* bound = PyObject_GetAttrString(object, method);
    if (!bound) {
        PyErr_Clear();
        internalError("Internal error: method %s not found\n", method);
        return nullptr;
    }
    if (!PyCallable_Check(bound)) {
        Py_DECREF(bound);
        internalError("Internal error: method %s not callable\n", method);
        return nullptr;
    }
    PyObject* arguments = asTuple(Py_VaBuildValue(format, args));
    if (!arguments) {
        Py_DECREF(bound);
        handleException();
        return nullptr;
    }
    PyObject* result = PyObject_Call(bound, arguments, nullptr);
    Py_DECREF(arguments);
    Py_DECREF(bound);
    if (!result && PyErr_Occurred())
        handleException();
    return result;
}

// ---------------------------------------------------------------------------
// Exceptions

void Python::pyExceptStart()
{
    frames.append(QList<PyObject*>());
}

void Python::pyExceptExpect(PyObject* type)
{
    if (!type)
        internalError("Internal error: pyExceptExpect called with NULL\n");
    if (frames.isEmpty())
        frames.append(QList<PyObject*>());
    frames.last().append(type);
}

void Python::pyExceptClear()
{
    if (!frames.isEmpty())
        frames.removeLast();
    PyErr_Clear();
}

bool Python::pyExceptMatches(PyObject* result, PyObject* type)
{
    return !result && type && PyErr_Occurred() && PyErr_ExceptionMatches(type);
}

PyObject* Python::pyExceptValue()
{
    PyObject* type = nullptr;
    PyObject* value = nullptr;
    PyObject* traceback = nullptr;
    PyErr_Fetch(&type, &value, &traceback);
    PyErr_NormalizeException(&type, &value, &traceback);
    Py_XDECREF(type);
    Py_XDECREF(traceback);
    return value;
}

PyObject* Python::pyExceptValuef()
{
    PyObject* value = pyExceptValue();
    if (!value)
        return nullptr;
    PyObject* result = nullptr;
    if (PyObject_HasAttrString(value, "value"))
        result = PyObject_GetAttrString(value, "value");
    else
        result = pyCall("__builtins__.str", "(O)", value);
    Py_DECREF(value);
    return result;
}

void Python::handleException()
{
    if (!frames.isEmpty()) {
        for (PyObject* type : frames.last()) {
            if (type && PyErr_ExceptionMatches(type)) {
                exceptionExpected();
                return;
            }
        }
    }
    exceptionError();
}

void Python::exceptionExpected() { }

void Python::exceptionError()
{
    PyObject* type = nullptr;
    PyObject* value = nullptr;
    PyObject* traceback = nullptr;
    PyErr_Fetch(&type, &value, &traceback);
    PyErr_NormalizeException(&type, &value, &traceback);
    if (value && traceback)
        PyException_SetTraceback(value, traceback);
    if (type)
        PyErr_Display(type, value, traceback);
    Py_XDECREF(type);
    Py_XDECREF(value);
    Py_XDECREF(traceback);
    PyErr_Clear();
    error("Internal error: python exception occurred from C code\n");
}

void Python::internalError(char const* format, ...)
{
    char message[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    error(message);
}

// ---------------------------------------------------------------------------
// Debugging and signals

void Python::pyDebug(PyObject* object)
{
    PyErr_Clear();
    pyAssignGlobal("dbg", object);
    py("import sys\n"
       "sys.stdout = sys.__stdout__\n"
       "sys.stderr = sys.__stderr__\n"
       "import pdb\n"
       "pdb.set_trace()\n");
    PyErr_Clear();
}

void Python::setEnablePythonSIGINTHandler(bool enable)
{
    if (enable)
        py("signal.signal(signal.SIGINT, defaultSigIntSigaction)\n");
    else
        py("signal.signal(signal.SIGINT, signal.SIG_DFL)\n");
}

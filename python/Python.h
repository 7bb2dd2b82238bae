// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>

#include <cstdarg>

// Declared here so that users of this header need not pull in the
// interpreter's headers (python/PythonHeaders.h).
struct _object;
typedef _object PyObject;

/**
 * The thin layer between the program and the embedded interpreter: starting
 * and ending it, running text, finding objects by dotted name, calling with a
 * format string for the arguments, and routing Python exceptions either to
 * the caller that declared it expects them or to an error report.
 *
 * Every operation needs the calling thread to hold the interpreter lock
 * (through a PyGILStateWrapper), except initialize() and the destructor.
 * Failures are reported through the virtual error() with a text beginning
 * "Internal error: "; nothing throws.
 */
class Python
{
public:
    /// Scoped holder of the interpreter lock.
    class PyGILStateWrapper
    {
    public:
        explicit PyGILStateWrapper(bool take = true);
        ~PyGILStateWrapper();
        PyGILStateWrapper(PyGILStateWrapper const&) = delete;
        PyGILStateWrapper& operator=(PyGILStateWrapper const&) = delete;

        /// Acquires the lock again after release(), when this holder takes it at all.
        void ensure();
        /// Gives the lock up so another thread can run Python meanwhile.
        void release();

    private:
        bool take;
        bool held = false;
        int state = 0; // PyGILState_STATE
    };

    Python();
    virtual ~Python();

    virtual void pyExceptStart();
    virtual void pyExceptExpect(PyObject* type);
    virtual void pyExceptClear();
    virtual bool pyExceptMatches(PyObject* result, PyObject* type);
    virtual void error(char const* message) = 0;
    virtual void warning(char const* message) = 0;
    virtual void handleException();
    virtual void exceptionExpected();
    virtual void exceptionError();

    /// Starts the interpreter once per process and leaves its lock released.
    bool initialize();

    /// Runs statements in __main__ (errors are printed by the interpreter).
    void py(char const* statements);
    /// Evaluates an expression in __main__; a new reference, or null.
    PyObject* pyr(char const* expression);

    /// Walks a dotted name through __main__, modules and dictionaries; borrowed.
    PyObject* pyLookup(char const* name);
    /// Item of a module's dictionary or of a dictionary; borrowed, or null.
    PyObject* pyValue(char const* container, char const* item);
    bool pyAssign(char const* container, char const* item, PyObject* value);
    int pyAssignGlobal(char const* name, PyObject* value);
    long pyVersion();
    /// The object's text as UTF-8 (owned by the object); null for None.
    char const* pyString(PyObject* object);

    /// Calls the callable found by pyLookup with a tuple built by Py_BuildValue.
    PyObject* pyCall(char const* name, char const* format, ...);
    PyObject* pyVCall(char const* name, char const* format, va_list args);
    PyObject* pyMethodCall(PyObject* object, char const* method, char const* format, ...);
    PyObject* pyVMethodCall(PyObject* object, char const* method, char const* format, va_list args);

    /// Fetches (and clears) the pending exception; a new reference to its value.
    PyObject* pyExceptValue();
    /// The pending exception's "value" attribute, else str() of it; new reference.
    PyObject* pyExceptValuef();

    void pyDebug(PyObject* object);
    void setEnablePythonSIGINTHandler(bool enable);

protected:
    static bool initialized;
    static PyObject* main_dict;

    /// Formats an internal error into a bounded buffer and reports it.
    void internalError(char const* format, ...) __attribute__((format(printf, 2, 3)));

private:
    QList<QList<PyObject*>> frames;
};

// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "python/PythonHeaders.h"

#include <utility>

// An owning reference to a Python object: the reference is dropped when the
// PyRef goes, so early returns cannot leak. Built only by steal() (take over a
// new reference) or borrow() (add a reference of our own). The interpreter
// lock must be held wherever a PyRef is created, copied or destroyed.
class PyRef
{
public:
    PyRef() = default;
    PyRef(PyRef const& other)
        : object(other.object)
    {
        Py_XINCREF(object);
    }
    PyRef(PyRef&& other) noexcept
        : object(std::exchange(other.object, nullptr))
    {
    }
    ~PyRef() { Py_XDECREF(object); }

    PyRef& operator=(PyRef other) noexcept
    {
        std::swap(object, other.object);
        return *this;
    }

    static PyRef steal(PyObject* p) { return PyRef(p); }
    static PyRef borrow(PyObject* p)
    {
        Py_XINCREF(p);
        return PyRef(p);
    }
    // The items of a sequence as a list of our own; null, with the error
    // cleared, when it is no sequence.
    static PyRef listOf(PyObject* sequence)
    {
        PyObject* list = PySequence_List(sequence);
        if (!list)
            PyErr_Clear();
        return PyRef(list);
    }

    PyObject* get() const { return object; }
    explicit operator bool() const { return object != nullptr; }

    // Hands the reference to the caller.
    PyObject* release() { return std::exchange(object, nullptr); }
    void reset() { Py_CLEAR(object); }

private:
    explicit PyRef(PyObject* p)
        : object(p)
    {
    }

    PyObject* object = nullptr;
};

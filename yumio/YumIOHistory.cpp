// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "base/Credentials.h"
#include "python/PyRef.h"
#include "yumio/YumIO.h"

#include <cstdarg>
#include <functional>

// The package manager's transaction history: the list, the packages of one
// transaction, and undoing one (or every one after one) through the apply
// worker.

PyObject* YumIO::scriptQuery(QString const& failure, char const* method, char const* format, ...)
{
    pyExceptStart();
    PyObject* yumBaseError = lookupException("yum.Errors.YumBaseError");
    pyExceptExpect(yumBaseError);
    va_list args;
    va_start(args, format);
    PyObject* result = pyVMethodCall(yumIO, method, format, args);
    va_end(args);
    if (pyExceptMatches(result, yumBaseError))
        pythonExceptionV(failure);
    pyExceptClear();
    return result;
}

namespace {

// Field i of a result tuple, or null when the tuple is shorter.
PyObject* field(PyObject* tuple, Py_ssize_t i)
{
    return PyTuple_Check(tuple) && PyTuple_GET_SIZE(tuple) > i ? PyTuple_GET_ITEM(tuple, i)
                                                               : nullptr;
}

long long number(PyObject* value)
{
    long long const result = value ? PyLong_AsLongLong(value) : 0;
    if (PyErr_Occurred()) {
        PyErr_Clear();
        return 0;
    }
    return result;
}

bool truth(PyObject* value)
{
    int const result = value ? PyObject_IsTrue(value) : 0;
    PyErr_Clear();
    return result == 1;
}

// The rows of a script's list result, each made by make; *ok false when the
// call failed (reported already).
template <typename Row>
QList<Row> rowsOf(PyObject* result, bool* ok, std::function<Row(PyObject* row)> const& make)
{
    PyRef list = PyRef::steal(result);
    PyRef rows = list ? PyRef::listOf(list.get()) : PyRef();
    PyErr_Clear();
    if (ok)
        *ok = bool(rows);
    QList<Row> made;
    for (Py_ssize_t i = 0; rows && i < PyList_GET_SIZE(rows.get()); ++i)
        made.append(make(PyList_GET_ITEM(rows.get(), i)));
    return made;
}

} // namespace

QList<History::Transaction> YumIO::historyTransactions(bool* ok)
{
    DetailLock lock(this);
    PyObject* result = scriptReady()
        ? scriptQuery(tr("Unable to read the transaction history"), "historyTransactions", "()")
        : nullptr;
    return rowsOf<History::Transaction>(result, ok, [this](PyObject* row) {
        History::Transaction transaction;
        transaction.id = int(number(field(row, 0)));
        transaction.begin = number(field(row, 1));
        transaction.commandLine = Credentials::masked(pyString(field(row, 2)));
        transaction.actions = pyString(field(row, 3));
        transaction.altered = int(number(field(row, 4)));
        transaction.completed = truth(field(row, 5));
        return transaction;
    });
}

QList<History::Item> YumIO::historyItems(int id, bool* ok)
{
    DetailLock lock(this);
    PyObject* result = scriptReady()
        ? scriptQuery(
            tr("Unable to read transaction %1 of the history").arg(id), "historyItems", "(i)", id)
        : nullptr;
    return rowsOf<History::Item>(result, ok, [this](PyObject* row) {
        History::Item item;
        item.action = pyString(field(row, 0));
        item.name = pyString(field(row, 1));
        item.version = pyString(field(row, 2));
        item.arch = pyString(field(row, 3));
        item.repo = Credentials::masked(pyString(field(row, 4)));
        item.reason = pyString(field(row, 5));
        item.done = truth(field(row, 6));
        return item;
    });
}

bool YumIO::applyHistory(History::Operation operation, int id)
{
    historyOperation = operation;
    historyId = id;
    bool const result = apply();
    historyId = 0;
    return result;
}

// The script's side of an undo or roll back, on the apply worker with the
// interpreter lock held; the transaction callbacks report it as they report
// an apply.
PyObject* YumIO::callApplyHistory()
{
    char const* const operation = historyOperation == History::RollBack ? "rollback" : "undo";
    return pyMethodCall(yumIO, "applyHistory", "(si)", operation, historyId);
}

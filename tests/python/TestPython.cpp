// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "python/PyRef.h"
#include "python/Python.h"

#include <QtTest>

// The interpreter layer with its reports recorded instead of shown.
class RecordingPython : public Python
{
public:
    QStringList errors;

    void error(char const* message) override { errors.append(QString::fromUtf8(message)); }
    void warning(char const*) override { }

    // Whether one report was made for each subject, naming it, in order
    // (an empty subject: a report that names nothing in particular).
    bool reported(QStringList const& subjects) const
    {
        if (errors.size() != subjects.size())
            return false;
        for (qsizetype i = 0; i < errors.size(); ++i)
            if (!errors[i].contains(subjects[i]))
                return false;
        return true;
    }
};

class TestPython : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void lookup_data();
    void lookup();
    void failedCalls();
    void expectedExceptions();

private:
    RecordingPython* python = nullptr;
};

void TestPython::initTestCase()
{
    python = new RecordingPython;
    QVERIFY(python->initialize());
    Python::PyGILStateWrapper lock(true);
    python->py("class Raiser:\n"
               "    def fail(self, kind):\n"
               "        raise {'key': KeyError, 'value': ValueError}[kind]('boom')\n"
               "raiser = Raiser()\n"
               "container = {'item': 42}\n");
    QVERIFY(python->errors.isEmpty());
}

void TestPython::cleanupTestCase()
{
    delete python; // ends the interpreter
}

void TestPython::init()
{
    python->errors.clear();
}

void TestPython::lookup_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("result"); // repr, or "error" (the report names the part not found)
    auto const row = [](char const* name, char const* result) {
        QTest::newRow(name) << QString(name) << QString(result);
    };
    // (builtins.SystemExit and __builtins__.str: the engine's start and its
    // failure reports, TestEngineStandin::failures.)
    row("container.item", "42"); // dictionary item
    row("nosuchmodule_vux", "error"); // neither bound nor importable
    row("raiser.fail", "error"); // ordinary objects are not walked, only modules and dicts
}

void TestPython::lookup()
{
    QFETCH(QString, name);
    QFETCH(QString, result);
    Python::PyGILStateWrapper lock(true);
    PyObject* object = python->pyLookup(name.toUtf8().constData());
    if (result == QLatin1String("error")) {
        QVERIFY(!object);
        QVERIFY(python->reported({name.section(QLatin1Char('.'), -1)}));
    } else {
        QVERIFY(object);
        PyRef repr = PyRef::steal(PyObject_Repr(object));
        QVERIFY(QString::fromUtf8(PyUnicode_AsUTF8(repr.get())).startsWith(result));
        QVERIFY(python->errors.isEmpty());
    }
    QVERIFY(!PyErr_Occurred());
}

// A call that cannot be made is reported, naming what was to be called.
void TestPython::failedCalls()
{
    Python::PyGILStateWrapper lock(true);
    PyObject* raiser = python->pyLookup("raiser");
    QVERIFY(!python->pyMethodCall(nullptr, "unlock", "()"));
    QVERIFY(!python->pyMethodCall(raiser, "nosuch", "()"));
    QVERIFY(!python->pyMethodCall(raiser, "__doc__", "()"));
    QVERIFY(!python->pyCall("container", "()"));
    QVERIFY2(python->reported({"unlock", "nosuch", "__doc__", "container"}),
        qPrintable(python->errors.join(QString())));
    QVERIFY(!PyErr_Occurred());
}

// An expected exception left for the caller, an unexpected one reported:
// through the engine (TestEngineStandin::failures). Here what it does not
// reach: a null type, and frames inside frames.
void TestPython::expectedExceptions()
{
    Python::PyGILStateWrapper lock(true);
    PyObject* raiser = python->pyLookup("raiser");

    // A null type is reported, then kept: it matches nothing.
    python->pyExceptStart();
    python->pyExceptExpect(python->pyLookup("builtins.KeyError"));
    python->pyExceptExpect(nullptr);
    QVERIFY(python->reported({"pyExceptExpect"}));
    python->errors.clear();
    QVERIFY(!python->pyMethodCall(raiser, "fail", "(s)", "value"));
    QVERIFY(python->reported({""}));
    QVERIFY(!PyErr_Occurred()); // printed and cleared

    // Only the top frame counts: the outer frame's KeyError is not expected here.
    python->errors.clear();
    python->pyExceptStart();
    QVERIFY(!python->pyMethodCall(raiser, "fail", "(s)", "key"));
    QVERIFY(python->reported({""}));
    python->pyExceptClear();
    python->pyExceptClear();
}

QTEST_GUILESS_MAIN(TestPython)
#include "TestPython.moc"

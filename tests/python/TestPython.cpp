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
    QStringList warnings;
    int expected = 0;

    void error(char const* message) override { errors.append(QString::fromUtf8(message)); }
    void warning(char const* message) override { warnings.append(QString::fromUtf8(message)); }
    void exceptionExpected() override { ++expected; }

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

    using Python::main_dict;
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
    void values();
    void strings();
    void calls();
    void expectedExceptions();
    void exceptionTexts();
    void longFormattedText();
    void interruptHandler();

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
               "    def echo(self, *args):\n"
               "        return args\n"
               "class Valued(Exception):\n"
               "    def __init__(self, text):\n"
               "        Exception.__init__(self, text)\n"
               "        self.value = 'the value: ' + text\n"
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
    python->warnings.clear();
    python->expected = 0;
}

void TestPython::lookup_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("result"); // repr, or "error" (the report names the part not found)
    QTest::newRow("builtin class through builtins") << "builtins.SystemExit"
                                                    << "<class 'SystemExit'>";
    QTest::newRow("dictionary item") << "container.item"
                                     << "42";
    QTest::newRow("__builtins__ in __main__") << "__builtins__.str"
                                              << "<class 'str'>";
    QTest::newRow("neither bound nor importable") << "nosuchmodule_vux"
                                                  << "error";
    // Attributes of ordinary objects are not walked, only modules and dicts.
    QTest::newRow("attribute of an object") << "raiser.fail"
                                            << "error";
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

void TestPython::values()
{
    Python::PyGILStateWrapper lock(true);
    PyObject* item = python->pyValue("container", "item");
    QVERIFY(item);
    QCOMPARE(PyLong_AsLong(item), 42L);
    QVERIFY(!python->pyValue("container", "missing")); // silently absent
    PyRef value = PyRef::steal(PyLong_FromLong(7));
    QVERIFY(python->pyAssign("sys", "vuxSeven", value.get())); // a module's dictionary
    QCOMPARE(PyLong_AsLong(python->pyValue("sys", "vuxSeven")), 7L);
    QCOMPARE(python->pyVersion(), long(PY_VERSION_HEX));
    QVERIFY(python->errors.isEmpty());
}

void TestPython::strings()
{
    Python::PyGILStateWrapper lock(true);
    PyRef text = PyRef::steal(PyUnicode_FromString("gr\xc3\xbc\xc3\x9f"));
    QCOMPARE(
        QString::fromUtf8(python->pyString(text.get())), QString::fromUtf8("gr\xc3\xbc\xc3\x9f"));
    PyRef bytes = PyRef::steal(PyBytes_FromString("raw"));
    QCOMPARE(QByteArray(python->pyString(bytes.get())), QByteArray("raw"));
    QVERIFY(!python->pyString(Py_None));
    QVERIFY(python->errors.isEmpty());

    QVERIFY(!python->pyString(nullptr));
    QVERIFY(python->reported({"pyString"}));
    python->errors.clear();
    PyRef number = PyRef::steal(PyLong_FromLong(1));
    QVERIFY(!python->pyString(number.get()));
    QVERIFY(python->reported({""}));
    QVERIFY(!PyErr_Occurred());
}

void TestPython::calls()
{
    Python::PyGILStateWrapper lock(true);
    PyObject* raiser = python->pyLookup("raiser");
    PyRef echoed = PyRef::steal(python->pyMethodCall(raiser, "echo", "(si)", "a", 3));
    QVERIFY(echoed);
    QCOMPARE(PyTuple_Size(echoed.get()), Py_ssize_t(2));
    PyRef joined = PyRef::steal(python->pyCall("os.path.join", "(ss)", "/a", "b"));
    QCOMPARE(QByteArray(python->pyString(joined.get())), QByteArray("/a/b"));
    QVERIFY(python->errors.isEmpty());

    QVERIFY(!python->pyMethodCall(nullptr, "unlock", "()"));
    QVERIFY(!python->pyMethodCall(raiser, "nosuch", "()"));
    PyRef notCallable = PyRef::steal(python->pyMethodCall(raiser, "__doc__", "()"));
    QVERIFY(!notCallable);
    QVERIFY(!python->pyCall("container", "()"));
    QVERIFY2(python->reported({"unlock", "nosuch", "__doc__", "container"}),
        qPrintable(python->errors.join(QString())));
    QVERIFY(!PyErr_Occurred());
}

void TestPython::expectedExceptions()
{
    Python::PyGILStateWrapper lock(true);
    PyObject* raiser = python->pyLookup("raiser");
    PyObject* keyError = python->pyLookup("builtins.KeyError");
    PyObject* valueError = python->pyLookup("builtins.ValueError");

    python->pyExceptStart();
    python->pyExceptExpect(keyError);
    PyObject* result = python->pyMethodCall(raiser, "fail", "(s)", "key");
    QVERIFY(!result);
    QCOMPARE(python->expected, 1);
    QVERIFY(PyErr_Occurred()); // left for the caller to test
    QVERIFY(python->pyExceptMatches(result, keyError));
    QVERIFY(!python->pyExceptMatches(result, valueError));
    python->pyExceptClear(); // closes the frame and discards the exception
    QVERIFY(!PyErr_Occurred());
    QVERIFY(python->errors.isEmpty());

    // A null type is reported, then kept: it matches nothing.
    python->pyExceptStart();
    python->pyExceptExpect(nullptr);
    QVERIFY(python->reported({"pyExceptExpect"}));
    python->errors.clear();
    QVERIFY(!python->pyMethodCall(raiser, "fail", "(s)", "value"));
    QVERIFY(python->reported({""}));
    QVERIFY(!PyErr_Occurred()); // printed and cleared

    // Only the top frame counts: an outer frame's type is not expected here.
    python->errors.clear();
    python->pyExceptStart();
    QVERIFY(!python->pyMethodCall(raiser, "fail", "(s)", "key"));
    QVERIFY(python->reported({""}));
    python->pyExceptClear();
    python->pyExceptClear();
}

void TestPython::exceptionTexts()
{
    Python::PyGILStateWrapper lock(true);
    python->pyExceptStart();
    python->pyExceptExpect(python->pyLookup("Valued"));
    python->pyExceptExpect(python->pyLookup("builtins.ValueError"));
    QVERIFY(!python->pyr("(_ for _ in ()).throw(Valued('text'))"));
    PyRef valued = PyRef::steal(python->pyExceptValuef());
    QCOMPARE(QByteArray(python->pyString(valued.get())), QByteArray("the value: text"));
    QVERIFY(!PyErr_Occurred());
    QVERIFY(!python->pyr("int('x')"));
    PyRef plain = PyRef::steal(python->pyExceptValuef());
    QCOMPARE(QByteArray(python->pyString(plain.get())),
        QByteArray("invalid literal for int() with base 10: 'x'"));
    python->pyExceptClear();
    QVERIFY(python->errors.isEmpty());
}

void TestPython::longFormattedText()
{
    Python::PyGILStateWrapper lock(true);
    // Far beyond any fixed buffer: text from package metadata can be long.
    QByteArray const long_(50000, 'x');
    python->pyf("longText = '%s'\n", long_.constData());
    PyRef length = PyRef::steal(python->pyrf("len(longText) + %d", 1));
    QCOMPARE(PyLong_AsLong(length.get()), 50001L);
    QVERIFY(python->errors.isEmpty());
}

void TestPython::interruptHandler()
{
    Python::PyGILStateWrapper lock(true);
    python->setEnablePythonSIGINTHandler(false);
    PyRef handler = PyRef::steal(python->pyr("signal.getsignal(signal.SIGINT) == signal.SIG_DFL"));
    QCOMPARE(handler.get(), Py_True);
    python->setEnablePythonSIGINTHandler(true);
    handler
        = PyRef::steal(python->pyr("signal.getsignal(signal.SIGINT) is defaultSigIntSigaction"));
    QCOMPARE(handler.get(), Py_True);
    QVERIFY(python->errors.isEmpty());
}

QTEST_GUILESS_MAIN(TestPython)
#include "TestPython.moc"

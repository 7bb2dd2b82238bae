// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "support/StandinShare.h"

#include "config-vux-tests.h"
#include "python/PyRef.h"

#include <QDir>
#include <QFile>

StandinShare::StandinShare(QString const& yumVersion)
{
    hadShare = qEnvironmentVariableIsSet("VUXSHARE");
    savedShare = qgetenv("VUXSHARE");
    QDir const root(dir.path());
    if (!dir.isValid() || !root.mkpath(QStringLiteral("python/yum")))
        return;
    QFile init(root.filePath(QStringLiteral("python/yum/__init__.py")));
    if (!init.open(QIODevice::WriteOnly))
        return;
    init.write("__version__ = '" + yumVersion.toUtf8() + "'\nfrom . import Errors\n");
    init.close();
    QFile::copy(QStringLiteral(VUX_SHARE_DIR "/python/yum/Errors.py"),
        root.filePath(QStringLiteral("python/yum/Errors.py")));
    QFile::copy(QStringLiteral(VUX_TEST_DATA_DIR "/standin/YumIO.py"),
        root.filePath(QStringLiteral("python/YumIO.py")));
    qputenv("VUXSHARE", QFile::encodeName(dir.path()));
}

StandinShare::~StandinShare()
{
    if (hadShare)
        qputenv("VUXSHARE", savedShare);
    else
        qunsetenv("VUXSHARE");
}

StandinEngine::StandinEngine(QString const& version, QByteArray const& failure)
    : share(version)
{
    if (failure.isEmpty())
        qunsetenv("VUX_STANDIN_FAIL");
    else
        qputenv("VUX_STANDIN_FAIL", failure);
    answerer.alwaysClick(QStringLiteral("button0"));
    answerer.alwaysClick(QStringLiteral("closeButton"));
    engine.setup(&window, &total, &item);
}

StandinEngine::~StandinEngine()
{
    qunsetenv("VUX_STANDIN_FAIL");
}

QString StandinEngine::calls()
{
    Python::PyGILStateWrapper lock(true);
    PyObject* globals = PyModule_GetDict(PyImport_AddModule("__main__"));
    PyRef text = PyRef::steal(PyRun_String("' '.join(calls)", Py_eval_input, globals, globals));
    if (!text) {
        PyErr_Clear();
        return QString();
    }
    return QString::fromUtf8(PyUnicode_AsUTF8(text.get()));
}

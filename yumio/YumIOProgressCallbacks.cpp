// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "base/Credentials.h"
#include "progress/Progress.h"
#include "yumio/YumIO.h"

#include <algorithm>

namespace {

PyObject* none()
{
    Py_RETURN_NONE;
}

// Steps are unsigned; the script's negative "unknown" values are passed on
// sign-extended, and the panel clamps them.
Steps steps(long long value)
{
    return static_cast<Steps>(value);
}

bool isText(PyObject* object)
{
    return PyUnicode_Check(object) || PyBytes_Check(object);
}

} // namespace

void YumIO::collectProgress(QString const& name, bool start, RepoAct act, long value, long tail)
{
    if (!start) {
        if (progress)
            progress->setItemValue(steps(value));
        return;
    }
    if (yumVersion() > 30106) {
        // Five consecutive acts per repository.
        collectAct = (collectAct / 5) * 5 + act + 1;
    } else if (act == ActMirrorList || act == ActRepomd) {
        collectAct = (collectAct / 2) * 2 + act + 1;
    } else {
        int const base = 2 * static_cast<int>(enabledRepos.size());
        if (collectAct < base)
            collectAct = base;
        collectAct = base + ((collectAct - base) / 3) * 3 + act - 1;
    }
    collectTail = tail;
    collectName = name;

    QString text;
    bool const named = !name.isEmpty();
    switch (act) {
    case ActMirrorList:
        text = named ? tr("Downloading repository %1 mirror list for %2")
                     : tr("Downloading repository %1 mirror list");
        break;
    case ActRepomd:
        text = named ? tr("Downloading repository %1 repomd for %2")
                     : tr("Downloading repository %1 repomd");
        break;
    case ActDownload:
        text = named ? tr("Downloading repository %1 for %2") : tr("Downloading repository %1");
        break;
    case ActConvert:
        text = named ? tr("Converting repository %1 for %2") : tr("Converting repository %1");
        break;
    case ActRead:
        text = named ? tr("Reading repository %1 for %2") : tr("Reading repository %1");
        break;
    default:
        error("Internal error: invalid collect act\n");
        break;
    }
    if (!text.isEmpty())
        text = named ? text.arg(collectSubject, Credentials::masked(name))
                     : text.arg(collectSubject);

    if (progress) {
        progress->startItemAct(text, steps(tail), steps(collectAct));
        if (value != 0)
            progress->setItemValue(steps(value));
    }
}

PyObject* YumIO::collectProgress(PyObject* args)
{
    long current = 0;
    long total = 0;
    PyObject* nameObject = nullptr;
    if (!PyArg_ParseTuple(args, "llO", &current, &total, &nameObject))
        return nullptr;
    QString name;
    if (isText(nameObject))
        name = pyString(nameObject);
    else if (nameObject != Py_None)
        error("Internal error: unexpected progress name");

    if (collectAct >= 1 && total == collectTail && name == collectName)
        collectProgress(name, false, ActContinue, current, total);
    else if (current == -1 && total == -1)
        collectProgress(name, true, ActRead, 1, 1);
    else if (name == QLatin1String("MD Read")) {
        if (collectAct >= 1 && total == collectTail && collectName.isEmpty())
            collectProgress(QString(), false, ActContinue, current, total);
        else
            collectProgress(QString(), true, ActConvert, current, total);
    } else
        collectProgress(name, true, usesSqlite() ? ActConvert : ActRead, current, total);
    return none();
}

PyObject* YumIO::collectGrabMeterStart(PyObject* args)
{
    char const* urlText = nullptr;
    char const* unused1 = nullptr;
    char const* unused2 = nullptr;
    PyObject* sizeObject = nullptr;
    PyObject* unused3 = nullptr;
    if (!PyArg_ParseTuple(args, "sssOO", &urlText, &unused1, &unused2, &sizeObject, &unused3))
        return nullptr;

    long long size = 1;
    if (PyLong_Check(sizeObject)) {
        size = PyLong_AsLongLong(sizeObject);
        if (PyErr_Occurred()) {
            PyErr_Clear();
            size = 1;
        }
    } else if (sizeObject != Py_None)
        warning("Internal error: collect grab size not understood");

    // Masked before it is cut: a credential holding "/" must not leave a
    // piece of itself behind.
    QString url = Credentials::masked(QString::fromUtf8(urlText));
    bool isRepomd = false;
    bool isMetalink = false;
    int const p1 = url.lastIndexOf(QLatin1Char('/'));
    if (p1 >= 0) {
        QStringView const file = QStringView(url).mid(p1 + 1);
        isRepomd = file.startsWith(QLatin1String("repomd"));
        isMetalink = file.startsWith(QLatin1String("metalink"));
        int const p2 = p1 > 0 ? url.lastIndexOf(QLatin1Char('/'), p1 - 1) : -1;
        if (p2 >= 0)
            url = url.mid(p2 + 1, p1 - p2 - 1);
    }

    RepoAct const act = isMetalink ? ActMirrorList : isRepomd ? ActRepomd : ActDownload;
    collectProgress(url, true, act, 0, static_cast<long>(size));
    return none();
}

PyObject* YumIO::collectGrabMeterUpdate(PyObject* args)
{
    long long amount = 0;
    if (!PyArg_ParseTuple(args, "L", &amount))
        return nullptr;
    collectProgress(QString(), false, ActContinue, static_cast<long>(amount), -1);
    return none();
}

PyObject* YumIO::collectGrabMeterEnd(PyObject* args)
{
    long long amount = 0;
    if (!PyArg_ParseTuple(args, "L", &amount))
        return nullptr;
    return none();
}

PyObject* YumIO::applyGrabMeterStart(PyObject* args)
{
    PyObject* nameObject = nullptr;
    PyObject* unused1 = nullptr;
    PyObject* unused2 = nullptr;
    long long size = 0;
    PyObject* textObject = nullptr;
    if (!PyArg_ParseTuple(args, "OOOLO", &nameObject, &unused1, &unused2, &size, &textObject))
        return nullptr;

    QString text;
    if (isText(textObject))
        text = pyString(textObject);
    else if (textObject != Py_None)
        error("Internal error: unexpected progress text");

    if (text == QLatin1String("<delta rebuild>")) {
        if (progress) {
            progress->endItemActs();
            progress->startItem(tr("Finishing RPM rebuild from deltas"), 2000, steps(size));
        }
        deltaRebuild = true;
        return none();
    }

    QString name;
    if (isText(nameObject))
        name = pyString(nameObject);
    else
        error("Internal error: unexpected progress name");
    name = Credentials::masked(name);
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    if (name.endsWith(QLatin1String(".rpm")) || name.endsWith(QLatin1String(".hdr")))
        name.chop(4);

    QString label;
    if (!applyConfirmed) {
        // Headers fetched while dependencies are resolved.
        label = tr("Downloading %1 header").arg(name);
        actPos += 10;
    } else {
        label = tr("Downloading %1").arg(name);
        actPos += static_cast<quint32>(std::max<long long>(size, 10240));
    }
    if (progress)
        progress->startItemAct(label, steps(size), actPos);
    return none();
}

PyObject* YumIO::applyGrabMeterUpdate(PyObject* args)
{
    long long amount = 0;
    if (!PyArg_ParseTuple(args, "L", &amount))
        return nullptr;
    if (progress)
        progress->setItemValue(steps(amount));
    return none();
}

PyObject* YumIO::applyGrabMeterEnd(PyObject* args)
{
    long long amount = 0;
    if (!PyArg_ParseTuple(args, "L", &amount))
        return nullptr;
    return none();
}

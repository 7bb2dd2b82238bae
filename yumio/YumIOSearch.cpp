// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "base/SearchPattern.h"
#include "python/PyRef.h"
#include "yumio/SolvSearch.h"
#include "yumio/YumIO.h"

#include <QCoreApplication>
#include <QFile>

#include <solv/pool.h>

#include <cstring>
#include <dlfcn.h>
#include <link.h>

namespace {

// How many libsolv libraries the process has loaded. The program and dnf
// must share one: a pool is only understood by the library that made it.
int libsolvCopies()
{
    int count = 0;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            char const* name = info->dlpi_name ? std::strrchr(info->dlpi_name, '/') : nullptr;
            name = name ? name + 1 : info->dlpi_name;
            if (name && std::strncmp(name, "libsolv.so", 10) == 0)
                ++*static_cast<int*>(data);
            return 0;
        },
        &count);
    return count;
}

// A library the process has loaded already, for as long as the handle lives.
class Loaded
{
public:
    explicit Loaded(char const* soname)
        : handle(dlopen(soname, RTLD_LAZY | RTLD_NOLOAD))
    {
    }
    ~Loaded()
    {
        if (handle)
            dlclose(handle);
    }
    Loaded(Loaded const&) = delete;
    Loaded& operator=(Loaded const&) = delete;

    template <typename Function> Function symbol(char const* name) const
    {
        return handle ? reinterpret_cast<Function>(dlsym(handle, name)) : nullptr;
    }

private:
    void* handle;
};

// The libsolv pool behind dnf's sack object, or null with the reason.
//
// hawkey's Sack type keeps libdnf's DnfSack (a GObject) right after the
// object header, and libdnf hands out the sack's pool. Each step is checked
// before the next relies on it: the type by name and size, the pointer by
// GObject's own type check against libdnf's sack type, the libraries by
// their sonames (a libdnf or libsolv of another ABI is not taken).
Pool* poolOfSack(PyObject* sack, QString& why)
{
    PyRef name = PyRef::steal(PyUnicode_FromString("hawkey._hawkey"));
    PyRef module = name ? PyRef::steal(PyImport_GetModule(name.get())) : PyRef();
    PyRef type = module ? PyRef::steal(PyObject_GetAttrString(module.get(), "Sack")) : PyRef();
    PyErr_Clear();
    if (!type || !PyType_Check(type.get())) {
        why = QCoreApplication::translate("YumIO", "hawkey's Sack type was not found");
        return nullptr;
    }
    auto* sackType = reinterpret_cast<PyTypeObject*>(type.get());
    if (std::strcmp(sackType->tp_name, "_hawkey.Sack") != 0
        || sackType->tp_basicsize < Py_ssize_t(sizeof(PyObject) + sizeof(void*))
        || !PyObject_TypeCheck(sack, sackType)) {
        why = QCoreApplication::translate("YumIO", "the sack is no hawkey Sack");
        return nullptr;
    }
    if (libsolvCopies() != 1) {
        why = QCoreApplication::translate("YumIO", "more than one libsolv is loaded");
        return nullptr;
    }
    Loaded const dnf("libdnf.so.2");
    Loaded const gobject("libgobject-2.0.so.0");
    using GetType = size_t (*)();
    using GetPool = Pool* (*)(void*);
    using IsA = int (*)(void*, size_t);
    auto const sackGType = dnf.symbol<GetType>("dnf_sack_get_type");
    auto const sackPool = dnf.symbol<GetPool>("dnf_sack_get_pool");
    auto const isA = gobject.symbol<IsA>("g_type_check_instance_is_a");
    if (!sackGType || !sackPool || !isA) {
        why = QCoreApplication::translate(
            "YumIO", "libdnf.so.2 and its sack functions are not loaded");
        return nullptr;
    }
    void* dnfSack = *reinterpret_cast<void**>(reinterpret_cast<char*>(sack) + sizeof(PyObject));
    if (!dnfSack || !isA(dnfSack, sackGType())) {
        why = QCoreApplication::translate("YumIO", "the sack object holds no DnfSack");
        return nullptr;
    }
    Pool* pool = sackPool(dnfSack);
    if (!pool || pool->nsolvables <= 0) {
        why = QCoreApplication::translate("YumIO", "the sack has no pool");
        return nullptr;
    }
    return pool;
}

} // namespace

bool YumIO::searchDetails(SearchPattern const& pattern,
    std::vector<Package::Entry const*> const& wanted, std::vector<signed char>& found)
{
    if (!directSearch || !pattern.isValid() || pattern.isEmpty())
        return false;
    DetailLock lock(this);
    if (!yumIO)
        return false;
    // The extra data, loaded as the getters load it, before the sack that
    // holds it is looked at: a load replaces the sack.
    if (!runUnlocked(&YumIO::collectFileLists) || !runUnlocked(&YumIO::collectOtherData))
        return false;

    QString why;
    PyRef sack = PyRef::steal(PyObject_GetAttrString(yumIO, "sack"));
    PyRef conf = PyRef::steal(PyObject_GetAttrString(yumIO, "conf"));
    PyRef root = conf ? PyRef::steal(PyObject_GetAttrString(conf.get(), "installroot")) : PyRef();
    PyErr_Clear();
    Pool* pool = nullptr;
    if (!sack || !root || !PyUnicode_Check(root.get()))
        why = QCoreApplication::translate("YumIO", "the script object has no sack or installroot");
    else
        pool = poolOfSack(sack.get(), why);
    if (!pool) {
        if (why != searchFallback) {
            searchFallback = why;
            log(Log::Message, 4,
                tr("Search reads the fields of each package through the script: %1").arg(why));
        }
        return false;
    }
    SolvSearch::search(
        pool, QFile::encodeName(pyString(root.get())), pattern, wanted, found, searchCorpus);
    return true;
}

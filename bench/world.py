# SPDX-License-Identifier: GPL-2.0-or-later
"""What the benchmark's packages hold: names, file trees, change logs and
texts shaped like a distribution's, drawn from seeded random generators so
that every run makes the same world.

A distribution's file lists are what makes them costly to read: most paths
sit in trees of their own, several levels deep (a Python module's
__pycache__ beside every source file, a Go library's import path, a TeX
package's texmf tree, HTML manuals), beside a few directories every package
shares (bin, man pages, locale catalogues, icon themes, licences). Most
packages have a handful of files, a few have thousands. Change logs have
several records each, of one to a few lines.
"""

import math

VOCAB = (
    "access", "action", "adapter", "agent", "alloc", "archive", "array", "async", "atom",
    "audio", "auth", "backend", "base", "batch", "bind", "bitmap", "block", "bridge",
    "buffer", "build", "bundle", "bus", "cache", "canvas", "cell", "channel", "chart",
    "check", "cipher", "client", "clock", "codec", "color", "column", "command", "common",
    "compat", "compress", "config", "connect", "console", "context", "control", "convert",
    "core", "crypto", "cursor", "data", "debug", "decode", "device", "dialog", "digest",
    "direct", "display", "dispatch", "document", "domain", "draw", "driver", "dump",
    "editor", "element", "encode", "engine", "entry", "event", "export", "extension",
    "factory", "feature", "fetch", "field", "filter", "float", "font", "format", "frame",
    "gateway", "graph", "grid", "group", "handler", "hash", "header", "helper", "history",
    "host", "image", "import", "index", "input", "inspect", "interface", "item",
    "iterator", "job", "journal", "kernel", "key", "label", "layer", "layout", "lexer",
    "link", "list", "loader", "locale", "lock", "log", "loop", "macro", "manager", "map",
    "marker", "matrix", "media", "memory", "menu", "merge", "message", "meta", "method",
    "mirror", "mode", "model", "module", "monitor", "mount", "network", "node", "notify",
    "number", "object", "option", "output", "package", "page", "panel", "parser", "patch",
    "path", "pipe", "plugin", "point", "policy", "pool", "port", "print", "process",
    "profile", "protocol", "proxy", "query", "queue", "range", "reader", "record", "region",
    "registry", "render", "report", "request", "resolve", "resource", "result", "route",
    "rule", "runtime", "sample", "scanner", "schema", "scope", "screen", "script", "search",
    "select", "sensor", "server", "service", "session", "shell", "signal", "socket",
    "source", "stack", "state", "storage", "stream", "string", "style", "symbol", "sync",
    "table", "task", "template", "terminal", "test", "text", "theme", "thread", "timer",
    "token", "tool", "trace", "transform", "tree", "type", "unit", "update", "util",
    "value", "vector", "view", "volume", "watch", "widget", "window", "worker", "writer",
    "zone")

SYLLABLES = (
    "al", "ba", "cor", "da", "el", "fin", "gra", "hex", "io", "jo", "ka", "lu", "mo", "nex",
    "or", "pa", "qui", "ri", "sta", "tu", "ul", "vo", "wi", "xa", "yo", "ze", "bra", "cle",
    "dro", "fla", "glo", "kri", "ma", "no", "pe", "sa", "te", "vi", "zu", "mer", "lin", "ton")

LANGS = (
    "af", "ar", "as", "ast", "be", "bg", "bn", "bs", "ca", "cs", "cy", "da", "de", "el",
    "en_GB", "eo", "es", "et", "eu", "fa", "fi", "fr", "ga", "gl", "gu", "he", "hi", "hr",
    "hu", "id", "is", "it", "ja", "ka", "kk", "km", "kn", "ko", "lt", "lv", "mk", "ml",
    "mr", "ms", "nb", "nl", "nn", "oc", "or", "pa", "pl", "pt", "pt_BR", "ro", "ru", "sk",
    "sl", "sr", "sr@latin", "sv", "ta", "te", "th", "tr", "uk", "vi", "zh_CN", "zh_TW")

ICON_SIZES = ("16x16", "22x22", "24x24", "32x32", "48x48", "64x64", "128x128", "256x256",
              "scalable")

GIT_HOSTS = ("github.com", "gitlab.com", "codeberg.org", "sr.ht")

FIRST_NAMES = ("Ada", "Ben", "Cleo", "Dag", "Edda", "Finn", "Greta", "Hugo", "Ines", "Jon",
               "Kai", "Lena", "Mats", "Nora", "Omar", "Pia", "Quinn", "Rosa", "Sven", "Tara",
               "Ugo", "Vera", "Wim", "Xenia", "Yann", "Zoe")
LAST_NAMES = ("Andersen", "Bauer", "Costa", "Dvorak", "Eriksen", "Fischer", "Garcia",
              "Horvat", "Ivanova", "Jansen", "Kowalski", "Lindqvist", "Moreau", "Novak",
              "Olsen", "Petrov", "Quist", "Rossi", "Schmidt", "Tanaka", "Urban", "Vogel",
              "Weber", "Young", "Zeman")

CHANGES = (
    "Update to {ver}",
    "Rebuilt for the distribution-wide mass rebuild",
    "Fix {w1} {w2} when the {w3} is empty",
    "Add a patch for {w1} {w2} handling (upstream issue #{n})",
    "Security fix for CVE-{year}-{n5}: out-of-bounds read in the {w1} {w2}",
    "Drop the obsolete {w1}-{w2} requirement",
    "Build with {w1} support enabled",
    "Split the {w1} files into a subpackage of their own",
    "Convert the licence tag to SPDX",
    "Move to the new {w1} build macros",
    "Backport the upstream fix for a crash in {w1}_{w2}() on big-endian machines",
    "Run the test suite during the build again",
    "Own the {w1} directory (no longer left unowned after removal)",
    "Remove a bundled copy of lib{w1}; use the system one",
)

SENTENCES = (
    "{name} is a {w1} {w2} for the desktop and the command line.",
    "It reads {w1} files, checks their {w2} and writes a {w3} report.",
    "The package contains the {w1} library, its {w2} plug-ins and the documentation.",
    "Features include a {w1} cache, {w2} streaming and support for several {w3} formats.",
    "Most users install it together with the {w1} {w2} tools.",
    "This build enables {w1} and {w2} support; {w3} is left out.",
    "Install this package if you want to develop programs that use the {w1} interface.",
    "The {w1} {w2} is configured through a small text file in /etc.",
)

KINDS = (  # kind, share, median file count
    ("c", 0.40, 8), ("python", 0.10, 16), ("perl", 0.09, 5), ("golang", 0.06, 22),
    ("rubygem", 0.04, 18), ("texlive", 0.12, 8), ("fonts", 0.03, 4), ("nodejs", 0.04, 20),
    ("rust", 0.07, 20), ("data", 0.05, 14))


def _pick(rng, seq):
    # random.choice and randrange cost most of the generation time.
    return seq[int(rng.random() * len(seq))]


def _between(rng, low, high):
    """low <= n < high."""
    return low + int(rng.random() * (high - low))


def _word(rng):
    return _pick(rng, VOCAB)


def _project(rng):
    return "".join(_pick(rng, SYLLABLES)
                   for _i in range(_pick(rng, (2, 2, 3, 3, 3, 4))))


def _camel(rng):
    return "".join(_word(rng).capitalize() for _i in range(_pick(rng, (1, 1, 2))))


class Package:
    """One generated binary package: its name, kind (the shape of its files),
    project (the source it was built from) and version."""

    __slots__ = ("name", "kind", "project", "version", "release")

    def __init__(self, name, kind, project, version, release):
        self.name = name
        self.kind = kind
        self.project = project
        self.version = version
        self.release = release


def _version(rng):
    parts = [_between(rng, 0, 8), _between(rng, 0, 30)]
    if rng.random() < 0.6:
        parts.append(_between(rng, 0, 20))
    return ".".join(str(p) for p in parts)


def packages(count, rng, taken=()):
    """count packages in families as a distribution builds them: a C project
    gives its tool, libraries, development files and documentation; Python,
    Perl, Go, Ruby, TeX, Rust and Node.js libraries, fonts and data packages
    come alone or with a documentation package."""
    used = set(taken)
    result = []
    weights = [share for _k, share, _m in KINDS]
    kinds = [k for k, _s, _m in KINDS]
    while len(result) < count:
        kind = rng.choices(kinds, weights)[0]
        project = _project(rng)
        version = _version(rng)
        release = str(_between(rng, 1, 12))
        if kind == "c":
            names = [(project, "tool")]
            for suffix, chance in (("libs", 0.5), ("devel", 0.6), ("doc", 0.15),
                                   ("data", 0.1)):
                if rng.random() < chance:
                    names.append(("%s-%s" % (project, suffix), suffix))
            if rng.random() < 0.15:  # a library alone
                names = [("lib" + project, "libs")]
                if rng.random() < 0.7:
                    names.append(("lib%s-devel" % project, "devel"))
        elif kind == "python":
            names = [("python3-" + project, "python")]
            if rng.random() < 0.2:
                names.append(("python-%s-doc" % project, "doc"))
        elif kind == "perl":
            project = "-".join(_camel(rng) for _i in range(_pick(rng, (1, 2, 2, 3))))
            names = [("perl-" + project, "perl")]
        elif kind == "golang":
            host = _pick(rng, GIT_HOSTS).split(".")[0]
            names = [("golang-%s-%s-%s-devel" % (host, _project(rng), project), "golang")]
        elif kind == "rubygem":
            names = [("rubygem-" + project, "rubygem")]
            if rng.random() < 0.4:
                names.append(("rubygem-%s-doc" % project, "doc"))
        elif kind == "texlive":
            names = [("texlive-" + project, "texlive")]
            if rng.random() < 0.3:
                names.append(("texlive-%s-doc" % project, "doc"))
        elif kind == "fonts":
            names = [("%s-%s-fonts" % (project, _pick(rng, ("sans", "serif", "mono"))),
                      "fonts")]
        elif kind == "nodejs":
            names = [("nodejs-" + project, "nodejs")]
        elif kind == "rust":
            names = [("rust-%s-devel" % project, "rust")]
            if rng.random() < 0.5:
                names.append(("rust-%s+default-devel" % project, "rust-feature"))
        else:
            names = [("%s-data" % project, "data")]
        for name, sub in names:
            if name in used or len(result) >= count:
                continue
            used.add(name)
            result.append(Package(name, sub, project, version, release))
    return result


_MEDIANS = {k: m for k, _s, m in KINDS}
_MEDIANS.update(tool=8, libs=4, devel=12, doc=36)


def file_count(kind, rng, scale=1.0):
    """How many files a package of kind has: log-normal, from one to a few
    thousand; scale multiplies the median."""
    if kind == "rust-feature":
        return 1
    median = _MEDIANS.get(kind, 10) * scale
    return max(1, min(6000, int(rng.lognormvariate(math.log(median), 1.15))))


def _basename(rng, style, ext):
    words = [_word(rng) for _i in range(_pick(rng, (1, 1, 2, 2, 3)))]
    if style == "camel":
        stem = "".join(w.capitalize() for w in words)
    elif style == "dash":
        stem = "-".join(words)
    else:
        stem = "_".join(words)
    return stem + ext


def _tree(rng, root, count, exts, style="snake", depth=4, branch=0.18):
    """count files in a tree of directories under root: (dirs, files).
    Each new file goes into a recently made or an older directory; now and
    then a directory gets a new subdirectory."""
    dirs = [root]
    depths = {root: 0}
    files = []
    seen = set()
    while len(files) < count:
        parent = dirs[-1] if rng.random() < 0.6 else _pick(rng, dirs)
        if depths[parent] < depth and rng.random() < branch:
            child = "%s/%s" % (parent, _word(rng) if style != "camel" else _camel(rng))
            if child not in depths:
                depths[child] = depths[parent] + 1
                dirs.append(child)
            continue
        path = "%s/%s" % (parent, _basename(rng, style, _pick(rng, exts)))
        if path not in seen:
            seen.add(path)
            files.append(path)
    return dirs, files


def _python_tree(rng, root, count):
    dirs, sources = _tree(rng, root, max(1, count // 3), (".py",))
    files = []
    caches = set()
    for path in sources:
        parent, _sep, base = path.rpartition("/")
        stem = base[:-3]
        cache = parent + "/__pycache__"
        if cache not in caches:
            caches.add(cache)
            dirs.append(cache)
        files += [path, "%s/%s.cpython-312.pyc" % (cache, stem),
                  "%s/%s.cpython-312.opt-1.pyc" % (cache, stem)]
    for parent in {p.rpartition("/")[0] for p in sources}:
        files.append(parent + "/__init__.py")
    return dirs, files


def _docs(name, rng):
    doc = "/usr/share/doc/" + name
    files = ["%s/%s" % (doc, base) for base in ("README.md", "NEWS", "AUTHORS", "ChangeLog")
             if rng.random() < 0.6]
    return ([doc] if files else []), files


def _licence(name, rng):
    if rng.random() < 0.2:
        return [], []
    return (["/usr/share/licenses/" + name],
            ["/usr/share/licenses/%s/%s" % (name, _pick(rng, ("COPYING", "LICENSE",
                                                              "LICENSE.txt")))])


def files(pkg, rng, scale=1.0):
    """(directories, files) of pkg, each an absolute path; directories are
    those the package owns. scale multiplies the typical file count."""
    name, project, kind = pkg.name, pkg.project, pkg.kind
    n = file_count(kind, rng, scale)
    dirs, paths = [], []
    if kind == "tool":
        paths.append("/usr/bin/" + name)
        for _i in range(min(n // 4, 12)):
            paths.append("/usr/bin/%s-%s" % (name, _word(rng)))
        paths.append("/usr/share/man/man1/%s.1.gz" % name)
        if n > 8 and rng.random() < 0.4:
            for lang in LANGS[:_between(rng, 10, len(LANGS))]:
                paths.append("/usr/share/locale/%s/LC_MESSAGES/%s.mo" % (lang, name))
        if n > 6 and rng.random() < 0.3:
            for size in ICON_SIZES:
                paths.append("/usr/share/icons/hicolor/%s/apps/%s.%s"
                             % (size, name, "svg" if size == "scalable" else "png"))
            paths.append("/usr/share/applications/%s.desktop" % name)
        rest = n - len(paths)
        if rest > 0:
            d, f = _tree(rng, "/usr/share/" + name, rest, (".conf", ".xml", ".json", ".txt",
                                                           ".sh"), "dash", 3)
            dirs += d
            paths += f
        if rng.random() < 0.4:
            paths.append("/etc/%s.conf" % name)
    elif kind == "libs":
        for k in range(max(1, n // 2)):
            lib = "lib%s%s" % (project, "" if k == 0 else "-" + _word(rng))
            paths += ["/usr/lib64/%s.so.%d" % (lib, k % 3),
                      "/usr/lib64/%s.so.%d.%d.0" % (lib, k % 3, k)]
        if n > 6:
            d, f = _tree(rng, "/usr/lib64/%s/plugins" % project, n - len(paths), (".so",),
                         "snake", 2)
            dirs += [d[0].rpartition("/")[0]] + d
            paths += f
    elif kind == "devel":
        d, f = _tree(rng, "/usr/include/" + project, max(1, n - 3), (".h", ".hpp"))
        dirs += d
        paths += f
        paths += ["/usr/lib64/lib%s.so" % project, "/usr/lib64/pkgconfig/%s.pc" % project]
        if rng.random() < 0.4:
            dirs.append("/usr/lib64/cmake/" + project)
            paths += ["/usr/lib64/cmake/%s/%sConfig.cmake" % (project, project),
                      "/usr/lib64/cmake/%s/%sConfigVersion.cmake" % (project, project)]
        for _i in range(n // 6):
            paths.append("/usr/share/man/man3/%s_%s.3.gz" % (project, _word(rng)))
    elif kind == "doc":
        d, f = _tree(rng, "/usr/share/doc/%s/html" % name, n, (".html", ".png", ".css",
                                                               ".js", ".txt"), "dash", 4)
        dirs += ["/usr/share/doc/" + name] + d
        paths += f
    elif kind == "python":
        module = project.replace("-", "_")
        d, f = _python_tree(rng, "/usr/lib/python3.12/site-packages/" + module, n)
        info = "/usr/lib/python3.12/site-packages/%s-%s.dist-info" % (module, pkg.version)
        dirs += d + [info]
        paths += f + ["%s/%s" % (info, b) for b in ("METADATA", "RECORD", "WHEEL",
                                                    "top_level.txt", "INSTALLER")]
    elif kind == "perl":
        parts = project.split("-")
        root = "/usr/share/perl5/vendor_perl/" + "/".join(parts)
        d, f = _tree(rng, root, max(1, n - 2), (".pm",), "camel", 3)
        dirs += d
        paths += f + [root + ".pm"]
        for path in f[:max(1, n // 3)]:
            module = path[len("/usr/share/perl5/vendor_perl/"):-3].replace("/", "::")
            paths.append("/usr/share/man/man3/%s.3pm.gz" % module)
    elif kind == "golang":
        parts = name[len("golang-"):-len("-devel")].split("-")
        host = {h.split(".")[0]: h for h in GIT_HOSTS}[parts[0]]
        root = "/usr/share/gocode/src/%s/%s/%s" % (host, parts[1], "-".join(parts[2:]))
        d, f = _tree(rng, root, n, (".go", "_test.go", ".go", ".md", ".json"), "snake", 6,
                     0.25)
        dirs += d
        paths += f + [root + "/go.mod", root + "/.goipath"]
    elif kind == "rubygem":
        root = "/usr/share/gems/gems/%s-%s" % (project, pkg.version)
        d, f = _tree(rng, root + "/lib/" + project, n, (".rb",), "snake", 4)
        dirs += [root, root + "/lib"] + d
        paths += f + ["/usr/share/gems/specifications/%s-%s.gemspec" % (project, pkg.version)]
    elif kind == "texlive":
        base = "/usr/share/texlive/texmf-dist"
        d, f = _tree(rng, "%s/tex/latex/%s" % (base, project), max(1, n - 2),
                     (".sty", ".cls", ".tex", ".def", ".cfg"), "dash", 2)
        dirs += d
        paths += f + ["%s/doc/latex/%s/%s.pdf" % (base, project, project),
                      "%s/doc/latex/%s/README.md" % (base, project)]
        dirs.append("%s/doc/latex/%s" % (base, project))
    elif kind == "fonts":
        root = "/usr/share/fonts/" + name[:-len("-fonts")]
        dirs.append(root)
        for k in range(n):
            paths.append("%s/%s-%s.%s" % (root, project.capitalize(),
                                          _camel(rng) + ("" if k % 2 else "Italic"),
                                          _pick(rng, ("ttf", "otf"))))
        paths.append("/usr/share/metainfo/%s.metainfo.xml" % name)
        paths.append("/etc/fonts/conf.d/60-%s.conf" % name)
    elif kind == "nodejs":
        root = "/usr/lib/node_modules/" + project
        d, f = _tree(rng, root, n, (".js", ".js", ".json", ".md", ".d.ts"), "dash", 5, 0.22)
        dirs += d
        paths += f + [root + "/package.json"]
    elif kind in ("rust", "rust-feature"):
        crate = "%s-%s" % (project, pkg.version)
        root = "/usr/share/cargo/registry/" + crate
        if kind == "rust-feature":
            paths.append(root + "/Cargo.toml")
        else:
            d, f = _tree(rng, root + "/src", n, (".rs",), "snake", 4)
            dirs += [root] + d
            paths += f + [root + "/Cargo.toml", root + "/.cargo-checksum.json"]
    else:  # data
        d, f = _tree(rng, "/usr/share/" + project, n, (".dat", ".xml", ".png", ".svg", ".ui",
                                                       ".json"), "dash", 4)
        dirs += d
        paths += f
    if kind not in ("doc", "rust-feature"):
        d, f = _docs(name, rng)
        dirs += d
        paths += f
        d, f = _licence(name, rng)
        dirs += d
        paths += f
    # A generated name can come twice (two libraries with the same word).
    return list(dict.fromkeys(dirs)), list(dict.fromkeys(paths))


def arch(pkg):
    return "x86_64" if pkg.kind in ("tool", "libs", "devel") else "noarch"


def _fill(template, rng, pkg):
    return template.format(
        name=pkg.name, ver=pkg.version, w1=_word(rng), w2=_word(rng), w3=_word(rng),
        n=_between(rng, 10, 9999), n5=_between(rng, 10000, 99999),
        year=_between(rng, 2015, 2025))


def summary(pkg, rng):
    what = {"tool": "tool", "libs": "run-time libraries", "devel": "development files",
            "doc": "documentation", "python": "Python module", "perl": "Perl module",
            "golang": "Go library", "rubygem": "Ruby gem", "texlive": "LaTeX package",
            "fonts": "font family", "nodejs": "Node.js module", "rust": "Rust crate",
            "rust-feature": "Rust crate feature", "data": "data files"}[pkg.kind]
    return "%s %s for %s %s" % (_word(rng).capitalize(), what, _word(rng), _word(rng))


def description(pkg, rng):
    count = _between(rng, 2, 7)
    return " ".join(_fill(_pick(rng, SENTENCES), rng, pkg)
                    for _i in range(count))


def author(rng):
    first = _pick(rng, FIRST_NAMES)
    last = _pick(rng, LAST_NAMES)
    return "%s %s <%s.%s@example.org>" % (first, last, first.lower(), last.lower())


def changelog(pkg, built, rng):
    """[(author, date, text)] newest first: several records a package, each
    of one to four lines."""
    count = max(1, min(40, int(rng.lognormvariate(math.log(6), 0.7))))
    result = []
    when = built - built % 86400 + 43200
    minor = count
    for k in range(count):
        lines = ["- " + _fill(CHANGES[0] if k == 0 and i == 0 and rng.random() < 0.5
                              else _pick(rng, CHANGES[1:]), rng, pkg)
                 for i in range(_pick(rng, (1, 1, 1, 2, 2, 3, 4)))]
        evr = "%s-%s" % (pkg.version, pkg.release) if k == 0 else "%s-%d" % (pkg.version,
                                                                            max(1, minor))
        result.append(("%s - %s" % (author(rng), evr), when, "\n".join(lines)))
        when -= 86400 * _between(rng, 5, 120)
        minor -= 1
    return result

// SPDX-License-Identifier: GPL-2.0-or-later
#include "ConfSandbox.h"
#include "config-vux-tests.h"

#include <QDirIterator>
#include <QProcess>
#include <QSignalSpy>

namespace {

// dnf's reading of the configuration inside root, one line a repository.
// Both sides pin $releasever and $basearch so that the URLs can be compared.
char const dnfProbe[] = R"(
import dnf, sys
root, main = sys.argv[1:]
base = dnf.Base()
c = base.conf
c.installroot, c.config_file_path = root, root + main
c.read(c.config_file_path, priority=dnf.conf.PRIO_MAINCONFIG)
c.reposdir = [root + d for d in c.reposdir]
c.substitutions.update(releasever='39', basearch='x86_64')
base.read_all_repos()
for r in sorted(base.repos.values(), key=lambda r: r.id):
    print(r.id, int(r.enabled), int(r.gpgcheck), *r.baseurl, '|', r.mirrorlist or '', '|',
          r.metalink or '')
)";

QString dnfReading()
{
    QProcess dnf;
    dnf.start(
        VUX_TEST_PYTHON, {"-c", dnfProbe, InstallRoot::path(), YumConfIO::configuredFileName()});
    if (!dnf.waitForFinished(120000) || dnf.exitCode() != 0)
        return "dnf failed: " + QString::fromUtf8(dnf.readAllStandardError());
    return QString::fromUtf8(dnf.readAllStandardOutput());
}

// The same for the entries YumConfIO holds.
QString expectedByDnf(YumConfIO const& conf)
{
    QList<Repo::Entry> entries = conf.repos;
    std::sort(entries.begin(), entries.end(),
        [](Repo::Entry const& a, Repo::Entry const& b) { return a.id < b.id; });
    auto const state = [](int s, bool byDefault) {
        return QString::number(s == Qt::PartiallyChecked ? byDefault : s == Qt::Checked);
    };
    QString text;
    for (Repo::Entry const& e : entries) {
        QString metalink;
        for (QString const& line : e.otherOptions.split('\n'))
            YumConfIO::isOption(line, "metalink", metalink);
        text += QStringList {e.id, state(e.enabled, conf.defaultEnabled),
            state(e.gpgcheck, conf.defaultGpgcheck)}
                    .join(' ');
        for (QString const& url : e.baseurl.split('\n', Qt::SkipEmptyParts))
            text += ' ' + url;
        text += " | " + e.mirrorlist + " | " + metalink + '\n';
    }
    text.replace("${releasever}", "39").replace("$releasever", "39");
    return text.replace("${basearch}", "x86_64").replace("$basearch", "x86_64");
}

} // namespace

// Reading and writing yum's configuration, and what a write must never do:
// leave half-written files, break a symbolic link, delete or overwrite files
// that were not read. Real-world configuration files: read, written back and
// read again to the same entries, files already in the written form byte
// for byte; and dnf's own parser reads the originals, and what was written
// after an edit, as YumConfIO does.
class TestYumConfIO : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void failedRead_data();
    void failedRead();
    void reposDirs();
    void identifierCheck();
    void sessionUse();
    void fullDisk();
    void symlinkedFilesStayLinks();
    void foreignFileRefused_data();
    void foreignFileRefused();
    void oneFileUnderTwoNames();
    void reposDirOnHost();
    void corpus_data();
    void corpus();
};

void TestYumConfIO::roundTrip_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("settings"); // cachedir | reposdirs | enabled gpgcheck
    auto const row
        = [](char const* tag, QByteArray const& before, QByteArray const& after,
              QString const& file = "/etc/yum.repos.d/t.repo", QString const& settings = {}) {
              QTest::newRow(tag) << file << before << (after.isNull() ? before : after) << settings;
          };
    row("written form unchanged, Latin-1, continued unknown option",
        "[a]\nname=D\xe9p\xf4t\nbaseurl=http://a/\n        http://b/\nmirrorlist=http://m/\n"
        "enabled=0\ngpgcheck=1\ngpgkey=k1\n  k2\n# \xff\xfe\x80\n\n[b]\nname=B\n",
        {});
    row("key order, blank lines, comments, no final newline",
        "# lost\n\n[a]\ngpgkey=k\n\nenabled=1\nname=A\n\n\n# about b\n[b]\nname=B",
        "[a]\nname=A\nenabled=1\ngpgkey=k\n# about b\n\n[b]\nname=B\n");
    // Read as dnf reads them: "false" must not come back as "enabled=1".
    row("keys: spelling, separators, later wins; enabled and gpgcheck words",
        "[a]\nName=X\nnames=Y\nname : A\nname\t=B\nenabled=1\nenabled=false\ngpgcheck = No \n"
        "[b]\nenabled=OFF\ngpgcheck=maybe\n[c]\nenabled=True\n",
        "[a]\nname=B\nenabled=0\ngpgcheck=0\nName=X\nnames=Y\n\n"
        "[b]\nenabled=0\ngpgcheck=1\n\n[c]\nenabled=1\n");
    row("CR LF, baseurl over blanks and continuation lines",
        "[a]\r\nenabled=1\r\nname=A\r\nbaseurl=http://a/ http://b/\r\n\thttp://c/\r\n[b]\r\n",
        "[a]\r\nname=A\r\nbaseurl=http://a/\r\n        http://b/\r\n        http://c/\r\n"
        "enabled=1\r\n\r\n[b]\r\n");
    row("main file: reposdir separators and lines, CR LF",
        "[main]\r\nreposdir = /a,/b  /c\t/d,\r\n /e\r\ncachedir=/c \r\n\r\n[m]\r\nenabled=1\r\n",
        {}, "/etc/yum.conf", "/c|/a /b /c /d /e|1 0");
    row("/etc/yum/yum.conf first; later line wins, first section ends the settings",
        "# c\n[main]\n\ngpgcheck=0\ngpgcheck=True\nreposdir=/x\nreposdir=\nenabled=off\na=1\n"
        "  continued\n;x\n[r]\ncachedir=/x\n",
        {}, "/etc/yum/yum.conf", "/var/cache/yum||0 1");
}

// Read and written: the settings, the expected bytes, and no other main file
// touched; read and written again: the same entries and the same bytes.
void TestYumConfIO::roundTrip()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(QString, settings);
    ConfSandbox box;
    box.put(file, before);
    ConfFixture f;
    QSignalSpy changed(&f.conf, &YumConfIO::changed);
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(changed.count(), 1);
    if (!settings.isEmpty())
        QCOMPARE(QString("%1|%2|%3 %4")
                     .arg(f.conf.cacheDir, f.conf.reposDirs.join(' '))
                     .arg(int(f.conf.defaultEnabled))
                     .arg(int(f.conf.defaultGpgcheck)),
            settings);
    QString const entries = describe(f.conf.repos);
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(box.get(file), after);
    QVERIFY(file == "/etc/yum.conf" || box.get("/etc/yum.conf") == "[main]\n");
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(describe(f.conf.repos), entries);
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(box.get(file), after);
}

void TestYumConfIO::failedRead_data()
{
    QTest::addColumn<QString>("breakage"); // empty: never read
    QTest::addColumn<QString>("named"); // in the read's error box
    QTest::newRow("never read") << QString() << QString();
    QTest::newRow("no main file") << QString("main") << "/etc/yum.conf";
    QTest::newRow("dangling link") << QString("link") << "dangling.repo";
    QTest::newRow("no closing bracket") << QString("bracket") << "[b3";
}

// A failed read says why once and announces no change. A write after it, or
// with no read, says that it removes no file and rewrites none that was not
// read whole, and does so.
void TestYumConfIO::failedRead()
{
    QFETCH(QString, breakage);
    QFETCH(QString, named);
    ConfSandbox box(breakage == "main" ? QByteArray() : QByteArray("[main]\n"));
    // Files are read in directory order, so which of these come before the
    // broken one is left to chance; none may be lost either way.
    for (char const* name : {"a", "c", "e", "g", "i"})
        box.put(QString("/etc/yum.repos.d/%1.repo").arg(name), QByteArray("[") + name + "]\n");
    if (breakage == "link")
        box.link("nowhere", "/etc/yum.repos.d/dangling.repo");
    if (breakage == "bracket")
        box.put("/etc/yum.repos.d/broken.repo", "[b1]\nname=B1\n[b2]\n[b3\n[b4]\n");
    auto const before = box.snapshot();
    ConfFixture f;
    if (!breakage.isEmpty()) {
        QSignalSpy changed(&f.conf, &YumConfIO::changed);
        QVERIFY(!f.conf.read(nullptr));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(f.answerer.answered(), 1);
        QVERIFY2(f.answerer.texts()[0].contains(named), qPrintable(f.answerer.texts()[0]));
    }
    // The half-read file's sections would replace the whole file: refused.
    int const shown = f.answerer.answered();
    QCOMPARE(f.conf.write(nullptr), breakage != "bracket");
    QCOMPARE(f.answerer.answered(), shown + (breakage == "bracket" ? 2 : 1));
    QVERIFY(breakage != "bracket" || f.answerer.texts().last().contains("broken.repo"));
    QCOMPARE(box.snapshot(), before);
    // Everything dropped from the list: still nothing is deleted.
    f.conf.repos.clear();
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(box.snapshot(), before);
}

// Only the ".repo" files of the configured directories are read. Sections
// are written in their order, also when moved to another file; new ones go to
// the first directory, private when their URLs hold credentials. Read files
// left without sections are removed, nothing else is.
void TestYumConfIO::reposDirs()
{
    ConfSandbox box("[main]\nreposdir=/etc/one/, /etc/two /etc/three\n");
    box.put("/etc/one/a.repo", "[a1]\n[a2]\n");
    box.put("/etc/one/notes.txt", "[txt]\n");
    QDir().mkpath(box.path("/etc/one/dir.repo"));
    box.put("/etc/two/b.repo", "[b]\n");
    box.put("/etc/two/comment.repo", "# only a comment\n");
    box.put("/etc/yum.repos.d/default.repo", "[default]\n");
    box.put("/etc/three/open.repo", "[open]\n");
    box.put("/etc/three/strict.repo", "[strict]\n");
    for (auto [file, mode] : {std::pair {"/etc/three/open.repo", 0644},
             {"/etc/three/strict.repo", 0400}, {"/etc/one/a.repo", 0664}})
        QVERIFY(::chmod(QFile::encodeName(box.path(file)).constData(), mode) == 0);
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(f.conf.repos.size(), 5); // a1 a2 b, open and strict
    for (Repo::Entry& e : f.conf.repos)
        if (e.file.startsWith("/etc/three/"))
            e.baseurl = "http://h/larder?name=bob&password=pw&path=/" + e.id;

    f.conf.repos[1].sortPosition = 0.5; // a2 to the top
    f.conf.repos[2].file = "/etc/one/a.repo";
    f.conf.repos[2].sortPosition = 1.5; // b after a1
    f.conf.repos.resize(7);
    f.conf.repos[5].id = "new";
    f.conf.repos[5].name = QString::fromUtf8("D\u00e9p\u00f4t \u2013 \U0001F600");
    f.conf.repos[6].id = "secret";
    f.conf.repos[6].file = "custom.repo";
    f.conf.repos[6].baseurl = "https://h/larder?u=bob&p=pw&path=/r";
    box.put("/etc/two/appeared.repo", "[appeared]\n"); // after the read: not ours
    auto expected = box.snapshot();
    expected["/etc/one/a.repo"] = "[a2]\n\n[a1]\n\n[b]\n";
    expected["/etc/one/new.repo"] = "[new]\nname=D\xe9p\xf4t \xe2\x80\x93 \xf0\x9f\x98\x80\n";
    expected["/etc/one/custom.repo"] = "[secret]\nbaseurl=https://h/larder?u=bob&p=pw&path=/r\n";
    for (char const* id : {"open", "strict"})
        expected[QStringLiteral("/etc/three/%1.repo").arg(id)] = QByteArray("[") + id
            + "]\nbaseurl=http://h/larder?name=bob&password=pw&path=/" + id + "\n";
    expected.remove("/etc/two/b.repo");
    expected.remove("/etc/two/comment.repo");
    mode_t const umask = ::umask(077); // the mode is set, not left to the umask
    QVERIFY(f.conf.write(nullptr));
    ::umask(umask);
    QCOMPARE(f.answerer.answered(), 0);
    QCOMPARE(box.snapshot(), expected);
    // Files that come to carry a password are readable by their owner
    // alone, new or not; a stricter mode stays, as does the mode of a file
    // without one.
    for (auto [file, mode] : {std::pair {"/etc/one/new.repo", "644"},
             {"/etc/one/custom.repo", "600"}, {"/etc/three/open.repo", "600"},
             {"/etc/three/strict.repo", "400"}, {"/etc/one/a.repo", "664"}})
        QCOMPARE(box.owner(file).section(' ', 0, 0), QString(mode));
}

// Missing and repeated identifiers are asked about: No writes nothing; Yes
// writes the first entry of each identifier.
void TestYumConfIO::identifierCheck()
{
    ConfSandbox box;
    box.put("/etc/yum.repos.d/old.repo", "[old]\n");
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    f.conf.repos.clear();
    for (QString const id : {"a", "", "b", "a", "a"}) {
        f.conf.repos.append(Repo::Entry());
        f.conf.repos.last().id = id;
        f.conf.repos.last().name = QString::number(f.conf.repos.size() - 1);
    }
    auto const before = box.snapshot();
    f.answerer.click("No");
    QVERIFY(!f.conf.write(nullptr));
    QCOMPARE(f.conf.repos.size(), 5);
    QCOMPARE(box.snapshot(), before);
    f.answerer.click("Yes");
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(box.get("/etc/yum.repos.d/a.repo"), QByteArray("[a]\nname=0\n"));
    QCOMPARE(box.get("/etc/yum.repos.d/b.repo"), QByteArray("[b]\nname=2\n"));
    QCOMPARE(box.get("/etc/yum.repos.d/old.repo"), QByteArray("<missing>"));
    QCOMPARE(f.answerer.answered(), 2);
    for (QString const& asked : f.answerer.texts())
        QVERIFY2(asked.contains("has no Identifier") && asked.contains(", a, a, a. "),
            qPrintable(asked));
}

// Sections met for the first time take their use from the file, then from
// the command-line options, the last matching one winning; the session's
// choices then survive every read.
void TestYumConfIO::sessionUse()
{
    ConfSandbox box;
    box.put("/etc/yum.repos.d/t.repo", "[base]\n[updates]\n[my-updates]\n[off]\nenabled=no\n");
    ConfFixture f({YumRepoEnabled(false, "*updates"), YumRepoEnabled(true, "updates"),
        YumRepoEnabled(true, "off")});
    auto const uses = [&] {
        QString got;
        for (char const* id : {"base", "updates", "my-updates", "off", "later"})
            got += f.sessionUse.contains(id) ? QString::number(f.sessionUse[id]) : "-";
        return got;
    };
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(uses(), QString("1101-"));
    for (bool& use : f.sessionUse)
        use = !use;
    box.put("/etc/yum.repos.d/t.repo", "[base]\nenabled=1\n[later]\nenabled=no\n");
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(uses(), QString("00100"));
}

void TestYumConfIO::fullDisk()
{
    ConfSandbox box;
    QString why;
    if (!box.mountSmallDisk("/etc/yum.repos.d", &why))
        QSKIP(qPrintable(why));
    box.put("/etc/yum.repos.d/a.repo", "[a]\nname=A\nbaseurl=http://a/\n");
    box.fill();
    auto const before = box.snapshot();

    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    // More than a page: overwriting in place would run out of space midway.
    f.conf.repos[0].otherOptions = QString(6000, 'o') + "=1\n";
    QVERIFY(!f.conf.write(nullptr));
    QVERIFY(f.answerer.texts().value(0).contains("No space left on device"));
    QCOMPARE(box.snapshot(), before); // a.repo whole, no temporary file left
}

void TestYumConfIO::symlinkedFilesStayLinks()
{
    ConfSandbox box(QByteArray {});
    box.put("/etc/dnf/dnf.conf", "[main]\ngpgcheck=1\n\n[local]\nname=Local\n");
    box.link("dnf/dnf.conf", "/etc/yum.conf");
    QByteArray const target = QFile::encodeName(box.path("/etc/dnf/dnf.conf"));
    bool const root = ::geteuid() == 0;
    QVERIFY(::chmod(target.constData(), 0640) == 0);
    QVERIFY(!root || ::chown(target.constData(), 4321, 4322) == 0);
    // A chain of two links, the first one relative.
    box.put("/srv/shared/linked.repo", "[linked]\n");
    box.link(QFile::encodeName(box.path("/srv/shared/linked.repo")), "/srv/hop.repo");
    box.link("../../srv/hop.repo", "/etc/yum.repos.d/linked.repo");
    auto expected = box.snapshot();
    expected["/etc/dnf/dnf.conf"] = "[main]\ngpgcheck=1\n\n[local]\nname=Changed local\n";
    expected["/srv/shared/linked.repo"] = "[linked]\nname=Changed linked\n";

    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    for (Repo::Entry& e : f.conf.repos)
        e.name = "Changed " + e.id;
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(box.snapshot(), expected); // links kept, no temporary file left
    QCOMPARE(box.owner("/etc/dnf/dnf.conf").section(' ', 0, root ? 1 : 0),
        QString(root ? "640 4321:4322" : "640"));
}

void TestYumConfIO::foreignFileRefused_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("refused");
    QTest::newRow("system file") << "/etc/passwd" << true;
    QTest::newRow("link to a system file") << "/etc/yum.repos.d/sneaky" << true;
    QTest::newRow("not a .repo in the directory") << "/etc/yum.repos.d/notes.txt" << true;
    QTest::newRow("new file elsewhere") << "/etc/new-place.repo" << false;
}

// A section placed in a file that exists but was not read is refused before
// anything is written; every other file is left as it was.
void TestYumConfIO::foreignFileRefused()
{
    QFETCH(QString, file);
    QFETCH(bool, refused);
    ConfSandbox box;
    box.put("/etc/yum.repos.d/a.repo", "[a]\n");
    box.put("/etc/passwd", "root:x:0:0:root:/root:/bin/bash\n");
    box.put("/etc/yum.repos.d/notes.txt", "remember the milk\n");
    box.link("../passwd", "/etc/yum.repos.d/sneaky");
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    f.conf.repos.append(Repo::Entry());
    f.conf.repos.last().id = "placed";
    f.conf.repos.last().file = file;
    auto before = box.snapshot();

    QCOMPARE(f.conf.write(nullptr), !refused);
    QCOMPARE(f.answerer.answered(), refused ? 1 : 0);
    QVERIFY(!refused || f.answerer.texts().value(0).contains(QFileInfo(file).fileName()));
    auto after = box.snapshot();
    if (!refused) {
        QVERIFY(after.take(file).contains("[placed]\n"));
        before.remove(file);
    }
    QCOMPARE(after, before);
}

void TestYumConfIO::oneFileUnderTwoNames()
{
    ConfSandbox box;
    box.put("/etc/yum.repos.d/a.repo", "[a1]\n[a2]\n[a3]\n");
    // The second default directory as a link to the first: every file is
    // seen twice, and must neither be removed nor lose sections.
    QDir().mkpath(box.path("/etc/yum"));
    box.link("../yum.repos.d", "/etc/yum/repos.d");
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(f.conf.repos.size(), 6);
    f.answerer.click("Yes"); // to the repeated identifiers
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(f.answerer.answered(), 1);
    QCOMPARE(box.get("/etc/yum.repos.d/a.repo"), QByteArray("[a1]\n\n[a2]\n\n[a3]\n"));

    // Differently spelled names of one file make one file, not three that
    // overwrite each other.
    f.conf.repos[1].file = "/etc/yum.repos.d//a.repo";
    f.conf.repos[2].file = "/etc/yum/repos.d/./a.repo";
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(box.get("/etc/yum.repos.d/a.repo"), QByteArray("[a1]\n\n[a2]\n\n[a3]\n"));
}

// Under an install root a repository directory that does not exist inside
// it is taken as given, as the package manager takes it; the main file stays
// the root's own.
void TestYumConfIO::reposDirOnHost()
{
    QTemporaryDir host;
    QString const hostDir = host.path() + QStringLiteral("/repos");
    QVERIFY(QDir().mkpath(hostDir));
    ConfSandbox box("[main]\nreposdir=" + QFile::encodeName(hostDir) + "\n\n[inmain]\nname=M\n");
    QFile repo(hostDir + QStringLiteral("/host.repo"));
    QVERIFY(repo.open(QIODevice::WriteOnly) && repo.write("[host]\nname=H\n") > 0);
    repo.close();
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(f.conf.repos.size(), 2);
    QCOMPARE(f.conf.repos[0].id + ' ' + f.conf.repos[1].id, "inmain host");
    f.conf.repos[1].name = "Host";
    f.conf.repos[0].name = "Main";
    QVERIFY(f.conf.write(nullptr));
    QVERIFY(repo.open(QIODevice::ReadOnly));
    QCOMPARE(repo.readAll(), QByteArray("[host]\nname=Host\n"));
    QVERIFY(box.get("/etc/yum.conf").endsWith("[inmain]\nname=Main\n"));
    QVERIFY(!QFileInfo::exists(box.path(hostDir)));
}

void TestYumConfIO::corpus_data()
{
    QTest::addColumn<QString>("caseName");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("identical"); // files already in the written form

    QTest::newRow("fedora") << "fedora" << 6 << "/etc/yum.conf /etc/yum.repos.d/local.repo";
    QTest::newRow("centos") << "centos" << 7 << "/etc/yum.conf /etc/yum.repos.d/vendor.repo";
    QTest::newRow("opensuse") << "opensuse" << 3
                              << "/etc/yum.conf /etc/zypp/repos.d/repo-non-oss.repo "
                                 "/etc/zypp/repos.d/repo-update.repo";
}

void TestYumConfIO::corpus()
{
    QFETCH(QString, caseName);
    QFETCH(int, entries);
    QFETCH(QString, identical);

    ConfSandbox box;
    QString const from = QStringLiteral(VUX_TEST_DATA_DIR "/repo-corpus/") + caseName;
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        QVERIFY(file.open(QIODevice::ReadOnly));
        box.put(file.fileName().mid(from.size()), file.readAll());
    }
    auto const original = box.snapshot();
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(f.conf.repos.size(), entries);
    QString const read = describe(f.conf.repos);
    QCOMPARE(dnfReading(), expectedByDnf(f.conf)); // CR LF, "enabled=false" included

    QVERIFY(f.conf.write(nullptr));
    auto const written = box.snapshot();
    QCOMPARE(written.size(), original.size()); // no file lost, none left over
    for (QString const& file : identical.split(' '))
        QCOMPARE(written.value(file), original.value(file));
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(describe(f.conf.repos), read);
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(box.snapshot(), written); // the written form is stable

    // Every state turned round, URLs rearranged, one repository removed and
    // one with credentials added.
    for (Repo::Entry& e : f.conf.repos) {
        e.enabled = e.enabled == Qt::Unchecked ? Qt::Checked : Qt::Unchecked;
        e.gpgcheck = e.gpgcheck == Qt::Checked ? Qt::PartiallyChecked : Qt::Checked;
        QStringList urls = e.baseurl.split('\n', Qt::SkipEmptyParts);
        std::reverse(urls.begin(), urls.end());
        e.baseurl = urls.join('\n');
    }
    f.conf.repos.removeFirst();
    Repo::Entry added;
    added.id = "added";
    added.baseurl = "https://h.example/larder?u=me&p=pw&path=added/$basearch/\n"
                    "http://mirror.example/added/$releasever/";
    f.conf.repos.append(added);
    QVERIFY(f.conf.write(nullptr));
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(f.answerer.answered(), 0);
    QCOMPARE(dnfReading(), expectedByDnf(f.conf));
}

QTEST_MAIN(TestYumConfIO)
#include "TestYumConfIO.moc"

#include "ConfSandbox.h"

#include <QScopeGuard>
#include <QSignalSpy>

#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>

// Reading and writing yum's configuration, and what a write must never do:
// leave half-written files, break a symbolic link, delete or overwrite files
// that were not read.
class TestYumConfIO : public QObject
{
    Q_OBJECT

private slots:
    void mainSettings_data();
    void mainSettings();
    void roundTrip_data();
    void roundTrip();
    void readErrors_data();
    void readErrors();
    void reposDirs();
    void newFilesAndModes();
    void identifierCheck_data();
    void identifierCheck();
    void sessionUse();
    void fullDisk();
    void symlinkedFilesStayLinks();
    void writeAfterFailedRead();
    void foreignFileRefused_data();
    void foreignFileRefused();
    void oneFileUnderTwoNames();
};

void TestYumConfIO::mainSettings_data()
{
    QTest::addColumn<QByteArray>("main");
    QTest::addColumn<QString>("expected"); // cachedir | reposdirs | enabled gpgcheck

    QTest::newRow("reposdir separators, continuation, CR LF")
        << QByteArray("[main]\r\nreposdir = /a,/b  /c\t/d,\r\n /e\r\ncachedir=/c \r\n")
        << "/c|/a /b /c /d /e|1 0";
    QTest::newRow("reposdir empty") << QByteArray("[main]\nreposdir=\n") << "/var/cache/yum||1 0";
    QTest::newRow("later line wins, first section ends them")
        << QByteArray("[main]\ngpgcheck=0\ngpgcheck=True\nenabled=off\n[r]\ncachedir=/x\n")
        << "/var/cache/yum|/etc/yum.repos.d /etc/yum/repos.d|0 1";
}

void TestYumConfIO::mainSettings()
{
    QFETCH(QByteArray, main);
    QFETCH(QString, expected);

    ConfSandbox box(main);
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(QString("%1|%2|%3 %4")
                 .arg(f.conf.cacheDir, f.conf.reposDirs.join(' '))
                 .arg(int(f.conf.defaultEnabled))
                 .arg(int(f.conf.defaultGpgcheck)),
        expected);
}

void TestYumConfIO::roundTrip_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");

    auto const row = [](char const* tag, QByteArray const& before, QByteArray const& after,
                         QString const& file = "/etc/yum.repos.d/t.repo") {
        QTest::newRow(tag) << file << before << (after.isNull() ? before : after);
    };
    row("written form unchanged",
        "[a]\nname=A\nbaseurl=http://a/\n        http://b/\nmirrorlist=http://m/\nenabled=0\n"
        "gpgcheck=1\ngpgkey=k\n\n[b]\nname=B\n",
        {});
    row("baseurl over blanks and continuation lines",
        "[r]\nbaseurl=http://a/ http://b/\n\thttp://c/\n",
        "[r]\nbaseurl=http://a/\n        http://b/\n        http://c/\n");
    row("key order, blank lines, leading comment, no final newline",
        "# lost\n\n[a]\ngpgkey=k\n\nenabled=1\nname=A\n\n\n[b]\nname=B",
        "[a]\nname=A\nenabled=1\ngpgkey=k\n\n[b]\nname=B\n");
    row("keys: spelling, separators, later wins",
        "[a]\nName=X\nnames=Y\nname : A\nname\t=B\nenabled=0\nenabled=1\n",
        "[a]\nname=B\nenabled=1\nName=X\nnames=Y\n");
    row("comment between sections stays with the first", "[a]\n# about b\n[b]\n",
        "[a]\n# about b\n\n[b]\n");
    // Read as dnf reads them: "false" must not come back as "enabled=1".
    row("enabled and gpgcheck words",
        "[a]\nenabled=false\ngpgcheck = No \n[b]\nenabled=OFF\ngpgcheck=maybe\n[c]\nenabled=True\n",
        "[a]\nenabled=0\ngpgcheck=0\n\n[b]\nenabled=0\ngpgcheck=1\n\n[c]\nenabled=1\n");
    row("continued unknown option", "[a]\ngpgkey=file:///k1\n  file:///k2\n", {});
    row("CR LF", "[a]\r\nenabled=1\r\nname=A\r\nbaseurl=http://a/\r\n\thttp://b/\r\n[b]\r\n",
        "[a]\r\nname=A\r\nbaseurl=http://a/\r\n        http://b/\r\nenabled=1\r\n\r\n[b]\r\n");
    row("Latin-1", "[a]\nname=D\xe9p\xf4t\n# \xff\xfe\x80\n", {});
    row("main only, final newline added", "# c\n[main]\n\ngpgcheck=1\n  continued\n;x",
        "# c\n[main]\n\ngpgcheck=1\n  continued\n;x\n", "/etc/yum.conf");
    row("/etc/yum/yum.conf first", "[main]\n[m]\nenabled=1\nname=M\n",
        "[main]\n[m]\nname=M\nenabled=1\n", "/etc/yum/yum.conf");
    row("sections in the main file, CR LF", "[main]\r\na=1\r\n\r\n[m]\r\nenabled=1\r\nname=M\r\n",
        "[main]\r\na=1\r\n\r\n[m]\r\nname=M\r\nenabled=1\r\n", "/etc/yum.conf");
}

// Read and written: the expected bytes, and no other main file touched; read
// and written again: the same entries and the same bytes.
void TestYumConfIO::roundTrip()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);

    ConfSandbox box;
    box.put(file, before);
    ConfFixture f;
    QSignalSpy changed(&f.conf, &YumConfIO::changed);
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(changed.count(), 1);
    QString const entries = describe(f.conf.repos);
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(box.get(file), after);
    if (file != "/etc/yum.conf")
        QCOMPARE(box.get("/etc/yum.conf"), QByteArray("[main]\n"));
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(describe(f.conf.repos), entries);
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(box.get(file), after);
}

void TestYumConfIO::readErrors_data()
{
    QTest::addColumn<QByteArray>("repoFile"); // or how to break the configuration
    QTest::addColumn<QString>("message");

    auto const row = [](char const* tag, QByteArray const& repoFile, QString const& message) {
        QTest::newRow(tag) << repoFile << message;
    };
    row("no main file", "<no main>", "Unable to read yum configuration file ");
    row("dangling link", "<dangling>", "Unable to stat repository configuration file ");
    row("no closing bracket", "[a]\n[b\nname=B\n", "Malformed section name in line: [b; ");
}

void TestYumConfIO::readErrors()
{
    QFETCH(QByteArray, repoFile);
    QFETCH(QString, message);

    ConfSandbox box(repoFile == "<no main>" ? QByteArray() : QByteArray("[main]\n"));
    if (repoFile == "<dangling>")
        box.link("nowhere", "/etc/yum.repos.d/dangling.repo");
    else if (!repoFile.startsWith('<'))
        box.put("/etc/yum.repos.d/t.repo", repoFile);
    ConfFixture f;
    QSignalSpy changed(&f.conf, &YumConfIO::changed);
    QVERIFY(!f.conf.read(nullptr));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(f.answerer.titles(), QStringList {"VUX Repository Editor Error"});
    QVERIFY2(f.answerer.texts()[0].startsWith(message), qPrintable(f.answerer.texts()[0]));
}

// Only the ".repo" files of the configured directories are read. Sections
// are written in their order, also when moved to another file; read files
// left without sections are removed, nothing else is.
void TestYumConfIO::reposDirs()
{
    ConfSandbox box("[main]\nreposdir=/etc/one/, /etc/two\n");
    box.put("/etc/one/a.repo", "[a1]\n[a2]\n");
    box.put("/etc/one/notes.txt", "[txt]\n");
    box.put("/etc/one/a.repo.rpmsave", "[rpmsave]\n");
    QDir().mkpath(box.path("/etc/one/dir.repo"));
    box.put("/etc/two/b.repo", "[b]\n");
    box.put("/etc/two/comment.repo", "# only a comment\n");
    box.put("/etc/yum.repos.d/default.repo", "[default]\n");
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(f.conf.repos.size(), 3); // a1 a2 b

    f.conf.repos[1].sortPosition = 0.5; // a2 to the top
    f.conf.repos[2].file = "/etc/one/a.repo";
    f.conf.repos[2].sortPosition = 1.5; // b after a1
    box.put("/etc/two/appeared.repo", "[appeared]\n"); // after the read: not ours
    auto expected = box.snapshot();
    expected["/etc/one/a.repo"] = "[a2]\n\n[a1]\n\n[b]\n";
    expected.remove("/etc/two/b.repo");
    expected.remove("/etc/two/comment.repo");
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(f.answerer.answered(), 0);
    QCOMPARE(box.snapshot(), expected);
}

// New entries go to the first repository directory, into a file named after
// them unless they name one; credentials in a URL make a new file private,
// while an existing file keeps its mode and owner.
void TestYumConfIO::newFilesAndModes()
{
    ConfSandbox box("[main]\nreposdir=/etc/first /etc/yum.repos.d\n");
    QDir().mkpath(box.path("/etc/first"));
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    Repo::Entry full, named, secret;
    full.id = "full";
    full.name = QString::fromUtf8("D\u00e9p\u00f4t \u2013 \U0001F600");
    full.baseurl = "http://1/\nhttp://2/";
    full.enabled = Qt::Checked;
    full.gpgcheck = Qt::Unchecked;
    named.id = "named";
    named.file = "custom.repo";
    secret.id = "secret";
    secret.baseurl = "https://h/larder?u=bob&p=pw&path=/r";
    f.conf.repos << full << named << secret;
    mode_t const umask = ::umask(077); // the mode is set, not left to the umask
    QVERIFY(f.conf.write(nullptr));
    ::umask(umask);
    QCOMPARE(box.get("/etc/first/full.repo"),
        QByteArray("[full]\nname=D\xe9p\xf4t \xe2\x80\x93 \xf0\x9f\x98\x80\nbaseurl=http://1/\n"
                   "        http://2/\nenabled=1\ngpgcheck=0\n"));
    QCOMPARE(box.get("/etc/first/custom.repo"), QByteArray("[named]\n"));
    QCOMPARE(box.mode("/etc/first/full.repo"), 0644);
    QCOMPARE(box.mode("/etc/first/secret.repo"), 0600);

    QByteArray const path = QFile::encodeName(box.path("/etc/first/full.repo"));
    QVERIFY(::chmod(path.constData(), 0640) == 0);
    bool const root = ::geteuid() == 0;
    if (root)
        QVERIFY(::chown(path.constData(), 4321, 4322) == 0);
    f.conf.repos[0].baseurl = secret.baseurl;
    QVERIFY(f.conf.write(nullptr));
    QVERIFY(box.get("/etc/first/full.repo").contains("larder"));
    QCOMPARE(box.mode("/etc/first/full.repo"), 0640);
    struct stat st;
    QVERIFY(::stat(path.constData(), &st) == 0);
    if (root)
        QCOMPARE(QString("%1:%2").arg(st.st_uid).arg(st.st_gid), QString("4321:4322"));
}

void TestYumConfIO::identifierCheck_data()
{
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("kept"); // id/name of the entries after the check

    QString const both = "A repository has no Identifier.  It will be removed.\nTwo or more "
                         "repositories have the same Identifier(s), %1.  Only one repository "
                         "will be applied for each Identifier.  Proceed?";
    QTest::newRow("Yes") << QStringList {"a", "", "b", "a", "a"} << "Yes" << both.arg("a, a, a")
                         << "a/0 b/2";
    QTest::newRow("No") << QStringList {"", "a", "a"} << "No" << both.arg("a") << "/0 a/1 a/2";
}

// No writes nothing; Yes writes the first entry of each identifier.
void TestYumConfIO::identifierCheck()
{
    QFETCH(QStringList, ids);
    QFETCH(QString, answer);
    QFETCH(QString, message);
    QFETCH(QString, kept);

    ConfSandbox box;
    box.put("/etc/yum.repos.d/old.repo", "[old]\n");
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    f.conf.repos.clear();
    for (int i = 0; i < ids.size(); ++i) {
        Repo::Entry e;
        e.id = ids[i];
        e.name = QString::number(i);
        f.conf.repos.append(e);
    }
    f.answerer.click(answer);
    QCOMPARE(f.conf.write(nullptr), answer == "Yes");
    QCOMPARE(f.answerer.texts(), QStringList {message});
    QStringList got;
    for (Repo::Entry const& e : std::as_const(f.conf.repos))
        got.append(e.id + "/" + e.name);
    QCOMPARE(got.join(' '), kept);
    QCOMPARE(box.exists("/etc/yum.repos.d/old.repo"), answer == "No");
    QCOMPARE(box.exists("/etc/yum.repos.d/a.repo"), answer == "Yes");
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
    if (::geteuid() != 0)
        QSKIP("mounting a small tmpfs needs root");
    ConfSandbox box;
    QByteArray const dir = QFile::encodeName(box.path("/etc/yum.repos.d"));
    if (::mount("tmpfs", dir.constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP(qPrintable(QString("cannot mount a tmpfs here: %1").arg(strerror(errno))));
    auto const unmount = qScopeGuard([&] { ::umount2(dir.constData(), MNT_DETACH); });
    QByteArray const repoBytes = "[a]\nname=A\nbaseurl=http://a/\n";
    box.put("/etc/yum.repos.d/a.repo", repoBytes);
    int const fd = ::open(QByteArray(dir + "/filler").constData(), O_WRONLY | O_CREAT, 0644);
    QByteArray const chunk(4096, 'x');
    while (::write(fd, chunk.constData(), chunk.size()) > 0) { }
    QCOMPARE(errno, ENOSPC);
    ::close(fd);

    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    // More than a page: overwriting in place would run out of space midway.
    f.conf.repos[0].otherOptions = QString(6000, 'o') + "=1\n";
    QVERIFY(!f.conf.write(nullptr));
    QVERIFY(f.answerer.texts().value(0).endsWith("a.repo; errno = 28 (No space left on device)."));
    QCOMPARE(box.get("/etc/yum.repos.d/a.repo"), repoBytes);
    QCOMPARE(box.snapshot().size(), 3); // main, a.repo, filler: no temporary file left
}

void TestYumConfIO::symlinkedFilesStayLinks()
{
    ConfSandbox box(QByteArray {});
    box.put("/etc/dnf/dnf.conf", "[main]\ngpgcheck=1\n\n[local]\nname=Local\n");
    QVERIFY(::chmod(QFile::encodeName(box.path("/etc/dnf/dnf.conf")).constData(), 0640) == 0);
    box.link("dnf/dnf.conf", "/etc/yum.conf");
    // A chain of two links, the first one relative.
    box.put("/srv/shared/linked.repo", "[linked]\n");
    box.link(QFile::encodeName(box.path("/srv/shared/linked.repo")), "/srv/hop.repo");
    box.link("../../srv/hop.repo", "/etc/yum.repos.d/linked.repo");

    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    for (Repo::Entry& e : f.conf.repos)
        e.name = "Changed " + e.id;
    QVERIFY(f.conf.write(nullptr));

    auto const files = box.snapshot();
    QCOMPARE(
        files.value("/etc/yum.conf"), "-> " + QFile::encodeName(box.path("/etc/dnf/dnf.conf")));
    QCOMPARE(files.value("/etc/dnf/dnf.conf"),
        QByteArray("[main]\ngpgcheck=1\n\n[local]\nname=Changed local\n"));
    QVERIFY(files.value("/etc/yum.repos.d/linked.repo").startsWith("-> "));
    QVERIFY(files.value("/srv/hop.repo").startsWith("-> "));
    QCOMPARE(files.value("/srv/shared/linked.repo"), QByteArray("[linked]\nname=Changed linked\n"));
    QCOMPARE(files.size(), 5); // no temporary file left anywhere
}

void TestYumConfIO::writeAfterFailedRead()
{
    ConfSandbox box;
    // Files are read in directory order, so which of these come before the
    // broken one is left to chance; none may be lost either way.
    for (char const* name : {"a", "c", "e", "g", "i"})
        box.put(QString("/etc/yum.repos.d/%1.repo").arg(name), QByteArray("[") + name + "]\n");
    box.put("/etc/yum.repos.d/broken.repo", "[b1]\nname=B1\n[b2]\n[b3\n[b4]\n");
    auto const before = box.snapshot();

    // Never read: nothing is known, nothing is written.
    {
        ConfFixture unread;
        QVERIFY(unread.conf.write(nullptr));
        QCOMPARE(unread.answerer.titles(), QStringList {"VUX Repository Editor Warning"});
        QCOMPARE(box.snapshot(), before);
    }

    ConfFixture f;
    QVERIFY(!f.conf.read(nullptr));
    // The half-read file's sections would replace the whole file: refused.
    QVERIFY(!f.conf.write(nullptr));
    QCOMPARE(f.answerer.titles().mid(1),
        (QStringList {"VUX Repository Editor Warning", "VUX Repository Editor Error"}));
    QVERIFY(f.answerer.texts()[2].contains("/etc/yum.repos.d/broken.repo was not written"));
    QCOMPARE(box.snapshot(), before);

    // Everything dropped from the list: still nothing is deleted.
    f.conf.repos.clear();
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(f.answerer.titles().mid(3), QStringList {"VUX Repository Editor Warning"});
    QCOMPARE(box.snapshot(), before);
}

void TestYumConfIO::foreignFileRefused_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("refused");

    QTest::newRow("system file") << "/etc/passwd" << true;
    QTest::newRow("link to a system file") << "/etc/yum.repos.d/sneaky" << true;
    QTest::newRow("not a .repo in the directory") << "/etc/yum.repos.d/notes.txt" << true;
    QTest::newRow("new file elsewhere") << "/etc/new-place.repo" << false;
    QTest::newRow("the main file") << "/etc/yum.conf" << false;
}

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
    Repo::Entry e;
    e.id = "placed";
    e.file = file;
    f.conf.repos.append(e);
    auto const before = box.snapshot();

    QCOMPARE(f.conf.write(nullptr), !refused);
    QCOMPARE(
        f.answerer.texts().value(0).contains(" exists but is not a configuration file"), refused);
    if (refused)
        QCOMPARE(box.snapshot(), before); // nothing at all was written
    else
        QVERIFY(box.get(file).contains("[placed]\n"));
    QCOMPARE(box.get("/etc/passwd"), before.value("/etc/passwd"));
}

void TestYumConfIO::oneFileUnderTwoNames()
{
    ConfSandbox box;
    box.put("/etc/yum.repos.d/a.repo", "[a1]\n[a2]\n[a3]\n");
    // The second default directory as a link to the first: every file is
    // seen twice, and must neither be removed nor lose sections.
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

QTEST_MAIN(TestYumConfIO)
#include "TestYumConfIO.moc"

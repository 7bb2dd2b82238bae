#include "ConfSandbox.h"

#include <QSignalSpy>
#include <QTest>

#include <unistd.h>

// Reading yum's configuration: main file, logical lines, options, sections,
// repository directories and the session-use map.
class TestYumConfIORead : public QObject
{
    Q_OBJECT

private slots:
    void mainFileChoice();
    void mainSettings_data();
    void mainSettings();
    void isOption_data();
    void isOption();
    void sections_data();
    void sections();
    void malformedHeader_data();
    void malformedHeader();
    void enabledValues_data();
    void enabledValues();
    void repositoryDirectories();
    void emptyReposdirReadsNoFiles();
    void unreadableFiles();
    void sessionUseSurvivesReads();
    void commandLineOptions_data();
    void commandLineOptions();
    void filePositionLessThan_data();
    void filePositionLessThan();
};

void TestYumConfIORead::mainFileChoice()
{
    ConfSandbox box;
    box.put("/etc/yum.conf", "[main]\ncachedir=/from/etc\n[old]\nname=old\n");
    QCOMPARE(YumConfIO::configuredFileName(), QString("/etc/yum.conf"));
    QCOMPARE(YumConfIO::fileName(), box.path("/etc/yum.conf"));

    box.put("/etc/yum/yum.conf", "[main]\ncachedir=/from/etc/yum\n[new]\nname=new\n");
    QCOMPARE(YumConfIO::configuredFileName(), QString("/etc/yum/yum.conf"));
    QCOMPARE(YumConfIO::fileName(), box.path("/etc/yum/yum.conf"));

    ConfFixture f;
    QSignalSpy changed(&f.conf, &YumConfIO::changed);
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(f.conf.cacheDir, QString("/from/etc/yum"));
    QCOMPARE(f.conf.repos.size(), 1);
    QCOMPARE(f.conf.repos[0].id, QString("new"));
    QCOMPARE(f.conf.repos[0].file, QString("/etc/yum/yum.conf"));

    QByteArray const old = box.get("/etc/yum.conf");
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(changed.count(), 1); // write never emits
    QCOMPARE(box.get("/etc/yum.conf"), old);
}

void TestYumConfIORead::mainSettings_data()
{
    QTest::addColumn<QByteArray>("main");
    QTest::addColumn<QString>("cacheDir");
    QTest::addColumn<QStringList>("reposDirs");
    QTest::addColumn<bool>("defaultEnabled");
    QTest::addColumn<bool>("defaultGpgcheck");
    QTest::addColumn<QString>("mainSection");

    QStringList const defaultDirs {"/etc/yum.repos.d", "/etc/yum/repos.d"};
    QTest::newRow("empty file") << QByteArray() << "/var/cache/yum" << defaultDirs << true << false
                                << "";
    QTest::newRow("only main, no final newline")
        << QByteArray("# yum\n[main]\n\ncachedir=/var/cache/dnf\ngpgcheck=1") << "/var/cache/dnf"
        << defaultDirs << true << true << "# yum\n[main]\n\ncachedir=/var/cache/dnf\ngpgcheck=1\n";
    QTest::newRow("later line wins")
        << QByteArray("[main]\ngpgcheck=1\ngpgcheck=0\nenabled=0\n") << "/var/cache/yum"
        << defaultDirs << false << false << "[main]\ngpgcheck=1\ngpgcheck=0\nenabled=0\n";
    QTest::newRow("reposdir comma and two blanks")
        << QByteArray("[main]\nreposdir=/a,/b  /c\n") << "/var/cache/yum"
        << QStringList {"/a", "/b", "/c"} << true << false << "[main]\nreposdir=/a,/b  /c\n";
    QTest::newRow("reposdir tab and continuation")
        << QByteArray("[main]\nreposdir = /a\t/b,\n /c\n") << "/var/cache/yum"
        << QStringList {"/a", "/b", "/c"} << true << false << "[main]\nreposdir = /a\t/b,\n /c\n";
    QTest::newRow("reposdir empty") << QByteArray("[main]\nreposdir=\n") << "/var/cache/yum"
                                    << QStringList() << true << false << "[main]\nreposdir=\n";
    QTest::newRow("options stop at the first section")
        << QByteArray("[main]\ncachedir=/c\n[repo]\ncachedir=/other\ngpgcheck=1\n") << "/c"
        << defaultDirs << true << false << "[main]\ncachedir=/c\n";
    QTest::newRow("CR LF") << QByteArray("[main]\r\ncachedir=/c \r\nreposdir=/a,/b\r\n") << "/c"
                           << QStringList {"/a", "/b"} << true << false
                           << "[main]\ncachedir=/c \nreposdir=/a,/b\n";
}

void TestYumConfIORead::mainSettings()
{
    QFETCH(QByteArray, main);
    QFETCH(QString, cacheDir);
    QFETCH(QStringList, reposDirs);
    QFETCH(bool, defaultEnabled);
    QFETCH(bool, defaultGpgcheck);
    QFETCH(QString, mainSection);

    ConfSandbox box;
    box.put("/etc/yum.conf", main);
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(f.conf.cacheDir, cacheDir);
    QCOMPARE(f.conf.reposDirs, reposDirs);
    QCOMPARE(f.conf.defaultEnabled, defaultEnabled);
    QCOMPARE(f.conf.defaultGpgcheck, defaultGpgcheck);
    QCOMPARE(f.conf.mainSection, mainSection);
}

void TestYumConfIORead::isOption_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("matches");
    QTest::addColumn<QString>("value");

    QTest::newRow("equals") << "name=Base"
                            << "name" << true << "Base";
    QTest::newRow("colon") << "name: Base"
                           << "name" << true << "Base";
    QTest::newRow("blanks and tabs around") << "name \t= \tBase OS "
                                            << "name" << true << "Base OS ";
    QTest::newRow("first separator counts") << "baseurl=http://h/x"
                                            << "baseurl" << true << "http://h/x";
    QTest::newRow("colon before equals") << "a:b=c"
                                         << "a" << true << "b=c";
    QTest::newRow("continuation kept") << "baseurl=http://a/\n\thttp://b/"
                                       << "baseurl" << true << "http://a/\n\thttp://b/";
    QTest::newRow("empty value") << "name="
                                 << "name" << true << "";
    QTest::newRow("case-sensitive") << "Name=Base"
                                    << "name" << false << "";
    QTest::newRow("leading blank is part of the key") << " name=Base"
                                                      << "name" << false << "";
    QTest::newRow("prefix is not the key") << "names=Base"
                                           << "name" << false << "";
    QTest::newRow("separator first") << "=Base"
                                     << "" << false << "";
    QTest::newRow("only blanks before separator") << " \t=Base"
                                                  << "" << false << "";
    QTest::newRow("no separator") << "name Base"
                                  << "name" << false << "";
    QTest::newRow("comment") << "#name=Base"
                             << "name" << false << "";
}

void TestYumConfIORead::isOption()
{
    QFETCH(QString, line);
    QFETCH(QString, key);
    QFETCH(bool, matches);
    QFETCH(QString, value);

    QString got = "untouched";
    QCOMPARE(YumConfIO::isOption(line, key, got), matches);
    QCOMPARE(got, matches ? value : QString("untouched"));
}

void TestYumConfIORead::sections_data()
{
    QTest::addColumn<QByteArray>("repoFile");
    QTest::addColumn<QString>("expected");

    QString const file = " file=/etc/yum.repos.d/t.repo pos=";
    auto row = [&](char const* tag, QByteArray const& bytes, QStringList const& entries) {
        QString expected;
        for (int i = 0; i < entries.size(); ++i) {
            QString e = entries[i];
            e.replace(" @ ", file + QString::number(i + 1) + " ");
            expected += (i ? "\n" : "") + e;
        }
        QTest::newRow(tag) << bytes << expected;
    };

    row("all recognised keys",
        "[base]\nname=Base\nbaseurl=http://a/\nmirrorlist=http://m/\nenabled=1\ngpgcheck=0\n"
        "gpgkey=file:///k\n",
        {"[base] @ name=Base baseurl=http://a/ mirrorlist=http://m/ enabled=2 gpgcheck=0 "
         "other=gpgkey=file:///k|"});
    row("baseurl over continuation lines", "[r]\nbaseurl=http://a/ http://b/\n\thttp://c/\n",
        {"[r] @ name= baseurl=http://a/|http://b/|http://c/ mirrorlist= enabled=1 gpgcheck=1 "
         "other="});
    row("trailing blank leaves a trailing newline", "[r]\nbaseurl=http://a/ \n",
        {"[r] @ name= baseurl=http://a/| mirrorlist= enabled=1 gpgcheck=1 other="});
    row("comment between sections belongs to the first",
        "# header comment\n[a]\nname=A\n\n# about b\n[b]\nname=B\n",
        {"[a] @ name=A baseurl= mirrorlist= enabled=1 gpgcheck=1 other=# about b|",
            "[b] @ name=B baseurl= mirrorlist= enabled=1 gpgcheck=1 other="});
    row("later key wins", "[a]\nname=one\nname=two\nenabled=0\nenabled=1\n",
        {"[a] @ name=two baseurl= mirrorlist= enabled=2 gpgcheck=1 other="});
    row("last line without newline", "[a]\nname=A\n[b]\nname=B",
        {"[a] @ name=A baseurl= mirrorlist= enabled=1 gpgcheck=1 other=",
            "[b] @ name=B baseurl= mirrorlist= enabled=1 gpgcheck=1 other="});
    row("continued unknown option kept whole", "[a]\ngpgkey=file:///k1\n  file:///k2\n",
        {"[a] @ name= baseurl= mirrorlist= enabled=1 gpgcheck=1 other=gpgkey=file:///k1|  "
         "file:///k2|"});
    row("section name not trimmed", "[ spaced ]\n",
        {"[ spaced ] @ name= baseurl= mirrorlist= "
         "enabled=1 gpgcheck=1 other="});
    row("CR LF line ends", "[a]\r\nname=A\r\nbaseurl=http://a/\r\n\thttp://b/\r\nenabled=0\r\n",
        {"[a] @ name=A baseurl=http://a/|http://b/ mirrorlist= enabled=0 gpgcheck=1 other="});
    row("Latin-1 bytes kept", "[a]\nname=D\xe9p\xc3\xb4t\n# \xff\n",
        {QString::fromLatin1("[a] @ name=D\xe9p\xc3\xb4t baseurl= mirrorlist= enabled=1 "
                             "gpgcheck=1 other=# \xff|")});
    row("no sections", "# nothing here\nname=x\n", {});
}

void TestYumConfIORead::sections()
{
    QFETCH(QByteArray, repoFile);
    QFETCH(QString, expected);

    ConfSandbox box;
    box.put("/etc/yum.conf", "[main]\n");
    box.put("/etc/yum.repos.d/t.repo", repoFile);
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(describe(f.conf.repos), expected);
}

void TestYumConfIORead::malformedHeader_data()
{
    QTest::addColumn<QByteArray>("repoFile");
    QTest::addColumn<QString>("line");

    QTest::newRow("no closing bracket") << QByteArray("[a]\nname=A\n[b\nname=B\n") << "[b";
    QTest::newRow("blank line after header continues it")
        << QByteArray("[a]\n  \nname=A\n") << "[a]\n  ";
    QTest::newRow("text after bracket") << QByteArray("[a] # comment\n") << "[a] # comment";
}

void TestYumConfIORead::malformedHeader()
{
    QFETCH(QByteArray, repoFile);
    QFETCH(QString, line);

    ConfSandbox box;
    box.put("/etc/yum.conf", "[main]\n");
    box.put("/etc/yum.repos.d/t.repo", repoFile);
    ConfFixture f;
    ModalAnswerer& answerer = f.answerer;
    QSignalSpy changed(&f.conf, &YumConfIO::changed);
    QVERIFY(!f.conf.read(nullptr));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(answerer.titles(), QStringList {"VUX Repository Editor Error"});
    QVERIFY2(
        answerer.texts()[0].startsWith("Malformed section name in line: " + line + "; errno = "),
        qPrintable(answerer.texts()[0]));
}

void TestYumConfIORead::enabledValues_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("enabled");
    QTest::addColumn<bool>("used");

    QTest::newRow("0") << QByteArray("enabled=0") << int(Qt::Unchecked) << false;
    QTest::newRow("1") << QByteArray("enabled=1") << int(Qt::Checked) << true;
    QTest::newRow("absent takes the main default")
        << QByteArray() << int(Qt::PartiallyChecked) << false;
    QTest::newRow("other word") << QByteArray("enabled=maybe") << int(Qt::Checked) << true;
    QTest::newRow("false") << QByteArray("enabled=false") << int(Qt::Unchecked) << false;
    QTest::newRow("No") << QByteArray("enabled = No") << int(Qt::Unchecked) << false;
    QTest::newRow("OFF") << QByteArray("enabled=OFF") << int(Qt::Unchecked) << false;
    QTest::newRow("0 and a blank") << QByteArray("enabled=0 ") << int(Qt::Unchecked) << false;
    QTest::newRow("true") << QByteArray("enabled=True") << int(Qt::Checked) << true;
}

void TestYumConfIORead::enabledValues()
{
    QFETCH(QByteArray, line);
    QFETCH(int, enabled);
    QFETCH(bool, used);

    ConfSandbox box;
    box.put("/etc/yum.conf", "[main]\nenabled=0\n");
    box.put("/etc/yum.repos.d/t.repo",
        "[r]\n" + line + "\ngpgcheck=" + line.mid(line.indexOf('=') + 1) + "\n");
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(f.conf.repos.size(), 1);
    QCOMPARE(f.conf.repos[0].enabled, enabled);
    if (!line.isEmpty())
        QCOMPARE(f.conf.repos[0].gpgcheck, enabled);
    QCOMPARE(f.conf.sessionUse.value("r", !used), used);

    // A section without the key is written without it.
    QVERIFY(f.conf.write(nullptr));
    QByteArray const written = box.get("/etc/yum.repos.d/t.repo");
    QCOMPARE(written.contains("enabled="), enabled != Qt::PartiallyChecked);
    if (enabled != Qt::PartiallyChecked)
        QVERIFY(written.contains(enabled == Qt::Checked ? "enabled=1\n" : "enabled=0\n"));
}

void TestYumConfIORead::repositoryDirectories()
{
    ConfSandbox box;
    box.put("/etc/yum.conf", "[main]\nreposdir=/etc/one/, /etc/two\n[m]\nname=in main\n");
    box.put("/etc/one/a.repo", "[a]\n");
    box.put("/etc/one/notes.txt", "[not-read]\n");
    box.put("/etc/one/a.repo.rpmnew", "[not-read-either]\n");
    QDir().mkpath(box.path("/etc/one/dir.repo"));
    box.put("/etc/two/b.repo", "[b1]\n[b2]\n");
    box.put("/etc/yum.repos.d/default.repo", "[outside-reposdir]\n");

    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(describe(f.conf.repos),
        QString("[a] file=/etc/one/a.repo pos=1 name= baseurl= mirrorlist= enabled=1 gpgcheck=1 "
                "other=\n"
                "[b1] file=/etc/two/b.repo pos=1 name= baseurl= mirrorlist= enabled=1 gpgcheck=1 "
                "other=\n"
                "[b2] file=/etc/two/b.repo pos=2 name= baseurl= mirrorlist= enabled=1 gpgcheck=1 "
                "other=\n"
                "[m] file=/etc/yum.conf pos=1 name=in main baseurl= mirrorlist= enabled=1 "
                "gpgcheck=1 other="));
}

void TestYumConfIORead::emptyReposdirReadsNoFiles()
{
    ConfSandbox box;
    box.put("/etc/yum.conf", "[main]\nreposdir=\n");
    box.put("/etc/yum.repos.d/a.repo", "[a]\n");
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    QVERIFY(f.conf.repos.isEmpty());

    // A new entry's file name stays relative: it lands at the root itself.
    Repo::Entry entry;
    entry.id = "new";
    f.conf.repos.append(entry);
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(f.conf.repos[0].file, QString("new.repo"));
    QCOMPARE(box.get("/new.repo"), QByteArray("[new]\n"));
    QCOMPARE(box.get("/etc/yum.repos.d/a.repo"), QByteArray("[a]\n"));
}

void TestYumConfIORead::unreadableFiles()
{
    {
        ConfSandbox box; // no main file at all
        ConfFixture f;
        ModalAnswerer& answerer = f.answerer;
        QVERIFY(!f.conf.read(nullptr));
        QCOMPARE(answerer.texts(),
            QStringList {"Unable to read yum configuration file " + box.path("/etc/yum.conf")
                + "; errno = 2 (No such file or directory)."});
    }
    {
        ConfSandbox box;
        box.put("/etc/yum.conf", "[main]\n");
        QVERIFY(::symlink("nowhere", QFile::encodeName(box.path("/etc/yum.repos.d/dangling.repo")))
            == 0);
        ConfFixture f;
        ModalAnswerer& answerer = f.answerer;
        QVERIFY(!f.conf.read(nullptr));
        QCOMPARE(answerer.texts(),
            QStringList {"Unable to stat repository configuration file "
                + box.path("/etc/yum.repos.d/dangling.repo")
                + "; errno = 2 (No such file or directory)."});
    }
}

void TestYumConfIORead::sessionUseSurvivesReads()
{
    ConfSandbox box;
    box.put("/etc/yum.conf", "[main]\n");
    box.put("/etc/yum.repos.d/t.repo", "[on]\n[off]\nenabled=0\n");
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(f.sessionUse.value("on"), true);
    QCOMPARE(f.sessionUse.value("off"), false);

    // Session choices made in between survive a read, even against the file.
    f.sessionUse["on"] = false;
    f.sessionUse["off"] = true;
    f.sessionUse["gone"] = true;
    box.put("/etc/yum.repos.d/t.repo", "[on]\nenabled=1\n[off]\nenabled=0\n[later]\nenabled=0\n");
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(f.sessionUse.value("on"), false);
    QCOMPARE(f.sessionUse.value("off"), true);
    QCOMPARE(f.sessionUse.value("gone"), true);
    QCOMPARE(f.sessionUse.value("later", true), false);
    QCOMPARE(f.sessionUse.size(), 4);
}

void TestYumConfIORead::commandLineOptions_data()
{
    QTest::addColumn<QStringList>("options"); // "+pattern" enables, "-pattern" disables
    QTest::addColumn<QString>("expected"); // use of base, updates, my-updates, off

    QTest::newRow("none") << QStringList() << "1 1 1 0";
    QTest::newRow("disable all") << QStringList {"-*"} << "0 0 0 0";
    QTest::newRow("last match wins") << QStringList {"-*", "+updates*"} << "0 1 0 0";
    QTest::newRow("whole identifier") << QStringList {"-updates"} << "1 0 1 0";
    QTest::newRow("enable a disabled one") << QStringList {"+off", "-base"} << "0 1 1 1";
    QTest::newRow("question mark") << QStringList {"-o?f"} << "1 1 1 0";
}

void TestYumConfIORead::commandLineOptions()
{
    QFETCH(QStringList, options);
    QFETCH(QString, expected);

    QList<YumRepoEnabled> used;
    for (QString const& option : options)
        used.append(YumRepoEnabled(option.startsWith('+'), option.mid(1)));
    ConfSandbox box;
    box.put("/etc/yum.conf", "[main]\n");
    box.put("/etc/yum.repos.d/t.repo", "[base]\n[updates]\n[my-updates]\n[off]\nenabled=0\n");
    ConfFixture f(used);
    QVERIFY(f.conf.read(nullptr));
    QStringList got;
    for (char const* id : {"base", "updates", "my-updates", "off"})
        got.append(f.sessionUse.value(id) ? "1" : "0");
    QCOMPARE(got.join(' '), expected);

    // Only new sections take the options: a second read changes nothing.
    f.sessionUse["base"] = !f.sessionUse["base"];
    bool const base = f.sessionUse["base"];
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(f.sessionUse["base"], base);
}

void TestYumConfIORead::filePositionLessThan_data()
{
    QTest::addColumn<QString>("fileA");
    QTest::addColumn<double>("posA");
    QTest::addColumn<QString>("fileB");
    QTest::addColumn<double>("posB");
    QTest::addColumn<bool>("less");

    QTest::newRow("file first") << "/a.repo" << 9.0 << "/b.repo" << 1.0 << true;
    QTest::newRow("file after") << "/b.repo" << 1.0 << "/a.repo" << 9.0 << false;
    QTest::newRow("by character code") << "/B.repo" << 2.0 << "/a.repo" << 1.0 << true;
    QTest::newRow("same file, position") << "/a.repo" << 1.5 << "/a.repo" << 2.0 << true;
    QTest::newRow("same file, later") << "/a.repo" << 3.0 << "/a.repo" << 2.0 << false;
    QTest::newRow("equal") << "/a.repo" << 1.0 << "/a.repo" << 1.0 << false;
}

void TestYumConfIORead::filePositionLessThan()
{
    QFETCH(QString, fileA);
    QFETCH(double, posA);
    QFETCH(QString, fileB);
    QFETCH(double, posB);
    QFETCH(bool, less);

    Repo::Entry a, b;
    a.file = fileA;
    a.sortPosition = posA;
    b.file = fileB;
    b.sortPosition = posB;
    QCOMPARE(YumConfIO::filePositionLessThan(a, b), less);
}

QTEST_MAIN(TestYumConfIORead)
#include "TestYumConfIORead.moc"

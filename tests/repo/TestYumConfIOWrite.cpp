#include "ConfSandbox.h"

#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(Repo::Entry)

// Writing yum's configuration: the written form, grouping by file, the check
// for missing and repeated identifiers, new files and removal of emptied ones.
class TestYumConfIOWrite : public QObject
{
    Q_OBJECT

private slots:
    void writtenForm_data();
    void writtenForm();
    void roundTrip_data();
    void roundTrip();
    void sectionsOrderedAndMoved();
    void identifierCheck_data();
    void identifierCheck();
    void newFiles_data();
    void newFiles();
    void removesEmptiedFilesOnly();
    void keepsModeAndOwner();
    void unwritableFileReported();
};

namespace {

Repo::Entry entry(QString const& id, QString const& name = QString(),
    QString const& baseurl = QString(), int enabled = Qt::PartiallyChecked)
{
    Repo::Entry e;
    e.id = id;
    e.name = name;
    e.baseurl = baseurl;
    e.enabled = enabled;
    return e;
}

} // namespace

void TestYumConfIOWrite::writtenForm_data()
{
    QTest::addColumn<Repo::Entry>("entry");
    QTest::addColumn<QByteArray>("bytes");

    Repo::Entry full = entry("full", "Full", "http://1/\nhttp://2/\nhttp://3/", Qt::Checked);
    full.mirrorlist = "http://m/?repo=x&arch=$basearch";
    full.gpgcheck = Qt::Unchecked;
    full.otherOptions = "gpgkey=file:///k\n#note\n";
    QTest::newRow("every field") << full
                                 << QByteArray("[full]\nname=Full\nbaseurl=http://1/\n"
                                               "        http://2/\n        http://3/\n"
                                               "mirrorlist=http://m/?repo=x&arch=$basearch\n"
                                               "enabled=1\ngpgcheck=0\ngpgkey=file:///k\n#note\n");
    QTest::newRow("identifier only") << entry("bare") << QByteArray("[bare]\n");
    Repo::Entry states = entry("states", QString(), QString(), Qt::Unchecked);
    states.gpgcheck = Qt::Checked;
    QTest::newRow("states") << states << QByteArray("[states]\nenabled=0\ngpgcheck=1\n");
    QTest::newRow("trailing newline in baseurl")
        << entry("t", QString(), "http://a/\n") << QByteArray("[t]\nbaseurl=http://a/\n        \n");
    QTest::newRow("Latin-1 and beyond")
        << entry("l", QString::fromUtf8("D\u00e9p\u00f4t \u2013 \U0001F600"))
        << QByteArray("[l]\nname=D\xe9p\xf4t \xe2\x80\x93 \xf0\x9f\x98\x80\n");
}

void TestYumConfIOWrite::writtenForm()
{
    QFETCH(Repo::Entry, entry);
    QFETCH(QByteArray, bytes);

    ConfSandbox box;
    box.put("/etc/yum.conf", "[main]\n");
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    f.conf.repos.append(entry);
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(box.get("/etc/yum.repos.d/" + entry.id + ".repo"), bytes);
}

void TestYumConfIOWrite::roundTrip_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");

    QString const repo = "/etc/yum.repos.d/t.repo";
    QByteArray const canonical = "[a]\nname=A\nbaseurl=http://a/\n        http://b/\n"
                                 "mirrorlist=http://m/\nenabled=0\ngpgcheck=1\ngpgkey=k\n\n"
                                 "[b]\nname=B\n";
    QTest::newRow("canonical file unchanged") << repo << canonical << canonical;
    QTest::newRow("baseurl continuation")
        << repo << QByteArray("[r]\nbaseurl=http://a/ http://b/\n\thttp://c/\n")
        << QByteArray("[r]\nbaseurl=http://a/\n        http://b/\n        http://c/\n");
    QTest::newRow("key order, blank lines, leading comments")
        << repo << QByteArray("# lost\n\n[a]\ngpgkey=k\n\nenabled=1\nname=A\n\n\n[b]\nname=B")
        << QByteArray("[a]\nname=A\nenabled=1\ngpgkey=k\n\n[b]\nname=B\n");
    QTest::newRow("comment between sections stays with the first")
        << repo << QByteArray("[a]\nname=A\n# about b\n[b]\nname=B\n")
        << QByteArray("[a]\nname=A\n# about b\n\n[b]\nname=B\n");
    QTest::newRow("CR LF kept") << repo << QByteArray("[a]\r\nname=A\r\n\r\n[b]\r\nenabled=0\r\n")
                                << QByteArray("[a]\r\nname=A\r\n\r\n[b]\r\nenabled=0\r\n");
    QTest::newRow("CR LF file made canonical")
        << repo << QByteArray("[a]\r\nenabled=1\r\nname=A\r\n[b]\r\n")
        << QByteArray("[a]\r\nname=A\r\nenabled=1\r\n\r\n[b]\r\n");
    QTest::newRow("Latin-1 bytes") << repo << QByteArray("[a]\nname=D\xe9p\xf4t\n# \xff\xfe\x80\n")
                                   << QByteArray("[a]\nname=D\xe9p\xf4t\n# \xff\xfe\x80\n");
    QTest::newRow("main only, final newline added")
        << "/etc/yum.conf" << QByteArray("# c\n[main]\n\ngpgcheck=1\n  continued\n;x")
        << QByteArray("# c\n[main]\n\ngpgcheck=1\n  continued\n;x\n");
    QTest::newRow("main with sections")
        << "/etc/yum.conf" << QByteArray("[main]\ngpgcheck=1\n\n[m]\nenabled=1\nname=M\n[n]\n")
        << QByteArray("[main]\ngpgcheck=1\n\n[m]\nname=M\nenabled=1\n\n[n]\n");
}

void TestYumConfIOWrite::roundTrip()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);

    ConfSandbox box;
    if (file != "/etc/yum.conf")
        box.put("/etc/yum.conf", "[main]\n");
    box.put(file, before);
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    QString const entries = describe(f.conf.repos);
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(box.get(file), after);

    // Read again: the same entries; written again: the same bytes.
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(describe(f.conf.repos), entries);
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(box.get(file), after);
}

void TestYumConfIOWrite::sectionsOrderedAndMoved()
{
    ConfSandbox box;
    box.put("/etc/yum.conf", "[main]\n");
    box.put("/etc/yum.repos.d/a.repo", "[a1]\n[a2]\n[a3]\n");
    box.put("/etc/yum.repos.d/b.repo", "[b1]\n");
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    for (Repo::Entry& e : f.conf.repos) {
        if (e.id == "a3")
            e.sortPosition = 0.5; // moved to the top of its file
        if (e.id == "b1") {
            e.file = "/etc/yum.repos.d/a.repo"; // moved into the other file
            e.sortPosition = 1.5;
        }
    }
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(box.get("/etc/yum.repos.d/a.repo"), QByteArray("[a3]\n\n[a1]\n\n[b1]\n\n[a2]\n"));
    QVERIFY(!box.exists("/etc/yum.repos.d/b.repo"));
}

void TestYumConfIOWrite::identifierCheck_data()
{
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("remaining"); // id/name of what is written

    QString const dup = "Two or more repositories have the same Identifier(s), %1.  Only one "
                        "repository will be applied for each Identifier.";
    QString const empty = "A repository has no Identifier.  It will be removed.";
    QTest::newRow("three of one identifier, Yes")
        << QStringList {"a", "b", "a", "a"} << "Yes" << dup.arg("a, a, a") + "  Proceed?"
        << QStringList {"a/0", "b/1"};
    QTest::newRow("three of one identifier, No")
        << QStringList {"a", "b", "a", "a"} << "No" << dup.arg("a, a, a") + "  Proceed?"
        << QStringList();
    QTest::newRow("two identifiers repeated, Yes")
        << QStringList {"x", "y", "y", "x"} << "yesButton" << dup.arg("x, y") + "  Proceed?"
        << QStringList {"x/0", "y/1"};
    QTest::newRow("empty identifier, Yes")
        << QStringList {"", "b", ""} << "Yes" << empty + "  Proceed?" << QStringList {"b/1"};
    QTest::newRow("both, No") << QStringList {"", "a", "a"} << "noButton"
                              << empty + "\n" + dup.arg("a") + "  Proceed?" << QStringList();
    QTest::newRow("no problem, no question") << QStringList {"a", "b"} << ""
                                             << "" << QStringList {"a/0", "b/1"};
}

void TestYumConfIOWrite::identifierCheck()
{
    QFETCH(QStringList, ids);
    QFETCH(QString, answer);
    QFETCH(QString, message);
    QFETCH(QStringList, remaining);

    ConfSandbox box;
    box.put("/etc/yum.conf", "[main]\n");
    box.put("/etc/yum.repos.d/old.repo", "[old]\n");
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    f.conf.repos.clear();
    for (int i = 0; i < ids.size(); ++i) {
        Repo::Entry e = entry(ids[i], QString::number(i));
        e.file = "/etc/yum.repos.d/new.repo";
        e.sortPosition = i;
        f.conf.repos.append(e);
    }
    auto const files = box.snapshot();

    ModalAnswerer& answerer = f.answerer;
    if (!answer.isEmpty())
        answerer.click(answer);
    bool const yes = answer.isEmpty() || answer.startsWith("Yes") || answer == "yesButton";
    QCOMPARE(f.conf.write(nullptr), yes);
    if (message.isEmpty())
        QCOMPARE(answerer.answered(), 0);
    else {
        QCOMPARE(answerer.titles().value(0), QString("Repository Editor"));
        QCOMPARE(answerer.texts().value(0), message);
        QCOMPARE(answerer.answered(), 1);
    }

    if (!yes) {
        QCOMPARE(f.conf.repos.size(), ids.size()); // the list is untouched
        QCOMPARE(box.snapshot(), files);
        return;
    }
    QStringList written;
    for (Repo::Entry const& e : std::as_const(f.conf.repos))
        written.append(e.id + "/" + e.name);
    QCOMPARE(written, remaining);
    QVERIFY(!box.exists("/etc/yum.repos.d/old.repo"));
}

void TestYumConfIOWrite::newFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("baseurl");
    QTest::addColumn<QString>("expectedFile");
    QTest::addColumn<int>("mode");

    QTest::newRow("named after the identifier") << ""
                                                << "http://h/"
                                                << "/etc/yum.repos.d/fresh.repo" << 0644;
    QTest::newRow("relative name") << "custom.repo"
                                   << ""
                                   << "/etc/yum.repos.d/custom.repo" << 0644;
    QTest::newRow("absolute name") << "/etc/yum.repos.d/abs.repo"
                                   << ""
                                   << "/etc/yum.repos.d/abs.repo" << 0644;
    QTest::newRow("larder credentials") << ""
                                        << "https://h/larder?u=bob&p=pw&path=/r"
                                        << "/etc/yum.repos.d/fresh.repo" << 0600;
}

void TestYumConfIOWrite::newFiles()
{
    QFETCH(QString, file);
    QFETCH(QString, baseurl);
    QFETCH(QString, expectedFile);
    QFETCH(int, mode);

    ConfSandbox box;
    box.put("/etc/yum.conf", "[main]\n");
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    Repo::Entry e = entry("fresh", QString(), baseurl);
    e.file = file;
    f.conf.repos.append(e);
    ::umask(077); // the mode is set explicitly, not left to the umask
    QVERIFY(f.conf.write(nullptr));
    ::umask(022);
    QCOMPARE(f.conf.repos[0].file, expectedFile);
    QVERIFY(box.get(expectedFile).startsWith("[fresh]\n"));
    QCOMPARE(QFileInfo(box.path(expectedFile)).permissions(),
        mode == 0600 ? QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser
                     : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser
                | QFile::ReadGroup | QFile::ReadOther);
}

void TestYumConfIOWrite::removesEmptiedFilesOnly()
{
    ConfSandbox box;
    box.put("/etc/yum.conf", "[main]\nreposdir=/etc/yum.repos.d /etc/more\n");
    box.put("/etc/yum.repos.d/keep.repo", "[keep]\n");
    box.put("/etc/yum.repos.d/emptied.repo", "[gone]\n");
    box.put("/etc/yum.repos.d/no-sections.repo", "# only a comment\n");
    box.put("/etc/yum.repos.d/notes.txt", "[looks-like-a-section]\n");
    box.put("/etc/yum.repos.d/old.repo.rpmsave", "[saved]\n");
    QDir().mkpath(box.path("/etc/yum.repos.d/dir.repo"));
    box.put("/etc/more/other.repo", "[other]\n");
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    f.conf.repos.removeIf([](Repo::Entry const& e) { return e.id == "gone" || e.id == "other"; });
    QVERIFY(f.conf.write(nullptr));

    QVERIFY(box.exists("/etc/yum.repos.d/keep.repo"));
    QVERIFY(!box.exists("/etc/yum.repos.d/emptied.repo"));
    QVERIFY(!box.exists("/etc/yum.repos.d/no-sections.repo"));
    QVERIFY(!box.exists("/etc/more/other.repo"));
    QCOMPARE(box.get("/etc/yum.repos.d/notes.txt"), QByteArray("[looks-like-a-section]\n"));
    QVERIFY(box.exists("/etc/yum.repos.d/old.repo.rpmsave"));
    QVERIFY(QFileInfo(box.path("/etc/yum.repos.d/dir.repo")).isDir());

    // A .repo file that appears after the read is not removed by the write.
    QVERIFY(f.conf.read(nullptr));
    box.put("/etc/yum.repos.d/installed-meanwhile.repo", "[new]\n");
    QVERIFY(f.conf.write(nullptr));
    QVERIFY(box.exists("/etc/yum.repos.d/installed-meanwhile.repo"));
}

void TestYumConfIOWrite::keepsModeAndOwner()
{
    if (::geteuid() != 0)
        QSKIP("changing a file's owner needs root");
    ConfSandbox box;
    box.put("/etc/yum.conf", "[main]\n");
    box.put("/etc/yum.repos.d/a.repo", "[a]\n");
    QByteArray const path = QFile::encodeName(box.path("/etc/yum.repos.d/a.repo"));
    QVERIFY(::chown(path.constData(), 4321, 4322) == 0);
    QVERIFY(::chmod(path.constData(), 0640) == 0);
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    f.conf.repos[0].baseurl = "https://h/larder?u=bob&p=pw&path=/r"; // keeps 0640 all the same
    QVERIFY(f.conf.write(nullptr));
    QVERIFY(box.get("/etc/yum.repos.d/a.repo").contains("baseurl=https://h/larder"));
    struct stat st;
    QVERIFY(::stat(path.constData(), &st) == 0);
    QCOMPARE(int(st.st_mode & 07777), 0640);
    QCOMPARE(int(st.st_uid), 4321);
    QCOMPARE(int(st.st_gid), 4322);
}

void TestYumConfIOWrite::unwritableFileReported()
{
    ConfSandbox box;
    box.put("/etc/yum.conf", "[main]\n");
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    Repo::Entry e = entry("x");
    e.file = "/etc/missing-dir/x.repo";
    f.conf.repos.append(e);
    ModalAnswerer& answerer = f.answerer;
    QVERIFY(!f.conf.write(nullptr));
    QCOMPARE(answerer.titles(), QStringList {"VUX Repository Editor Error"});
    QCOMPARE(answerer.texts(),
        QStringList {"Unable to write repository configuration file "
            + box.path("/etc/missing-dir/x.repo") + "; errno = 2 (No such file or directory)."});
}

QTEST_MAIN(TestYumConfIOWrite)
#include "TestYumConfIOWrite.moc"

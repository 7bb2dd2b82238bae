#include "ConfSandbox.h"

#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

// What a write must never do: leave half-written files, break a symbolic
// link, delete or overwrite files that were not read.
class TestYumConfIOSafety : public QObject
{
    Q_OBJECT

private slots:
    void fullDisk_data();
    void fullDisk();
    void symlinkedFilesStayLinks();
    void writeAfterFailedRead();
    void writeWithoutRead();
    void foreignFileRefused_data();
    void foreignFileRefused();
    void oneFileUnderTwoNames();
};

namespace {

// A small tmpfs mounted for one test, unmounted on every path.
class SmallTmpfs
{
public:
    explicit SmallTmpfs(QString const& at)
        : where(QFile::encodeName(at))
    {
        QDir().mkpath(at);
        mounted = ::mount("tmpfs", where.constData(), "tmpfs", 0, "size=64k") == 0;
        error = errno;
    }
    ~SmallTmpfs()
    {
        if (mounted)
            ::umount2(where.constData(), MNT_DETACH);
    }
    // Writes a filler file until the file system is full.
    bool fill() const
    {
        QByteArray const filler = where + "/filler.bin";
        int const fd = ::open(filler.constData(), O_WRONLY | O_CREAT, 0644);
        if (fd < 0)
            return false;
        QByteArray const chunk(4096, 'x');
        while (::write(fd, chunk.constData(), chunk.size()) > 0) { }
        bool const full = errno == ENOSPC;
        ::close(fd);
        return full;
    }

    QByteArray where;
    bool mounted = false;
    int error = 0;
};

QStringList temporaryFiles(QString const& dir)
{
    return QDir(dir).entryList({".*.vux-*"}, QDir::Files | QDir::Hidden);
}

} // namespace

void TestYumConfIOSafety::fullDisk_data()
{
    QTest::addColumn<QString>("mountPoint");
    QTest::addColumn<QString>("failingFile");

    // The main file is written last, after the repository files.
    QTest::newRow("repository directory full") << "/etc/yum.repos.d"
                                               << "/etc/yum.repos.d/a.repo";
    QTest::newRow("main file's directory full") << "/etc"
                                                << "/etc/yum.conf";
}

void TestYumConfIOSafety::fullDisk()
{
    QFETCH(QString, mountPoint);
    QFETCH(QString, failingFile);

    if (::geteuid() != 0)
        QSKIP("mounting a small tmpfs needs root");
    ConfSandbox box;
    SmallTmpfs const tmpfs(box.path(mountPoint));
    if (!tmpfs.mounted)
        QSKIP(qPrintable(QString("cannot mount a tmpfs here: %1").arg(strerror(tmpfs.error))));
    QByteArray const mainBytes = "[main]\ngpgcheck=1\n";
    QByteArray const repoBytes = "[a]\nname=A\nbaseurl=http://a/\n";
    box.put("/etc/yum.conf", mainBytes);
    bool const repoFails = failingFile != "/etc/yum.conf";
    if (repoFails)
        box.put("/etc/yum.repos.d/a.repo", repoBytes);
    QVERIFY(tmpfs.fill());

    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    f.conf.mainSection += "# grown\n";
    if (repoFails)
        f.conf.repos[0].otherOptions = QString(3000, 'o') + "=1\n";
    ModalAnswerer& answerer = f.answerer;
    QVERIFY(!f.conf.write(nullptr));

    QCOMPARE(answerer.titles(), QStringList {"VUX Repository Editor Error"});
    QCOMPARE(answerer.texts(),
        QStringList {"Unable to write repository configuration file " + box.path(failingFile)
            + "; errno = 28 (No space left on device)."});
    QCOMPARE(box.get("/etc/yum.conf"), mainBytes);
    if (repoFails)
        QCOMPARE(box.get("/etc/yum.repos.d/a.repo"), repoBytes);
    QCOMPARE(temporaryFiles(box.path("/etc")), QStringList());
    QCOMPARE(temporaryFiles(box.path("/etc/yum.repos.d")), QStringList());
}

void TestYumConfIOSafety::symlinkedFilesStayLinks()
{
    ConfSandbox box;
    box.put("/etc/dnf/dnf.conf", "[main]\ngpgcheck=1\n\n[local]\nname=Local\n");
    QVERIFY(::chmod(QFile::encodeName(box.path("/etc/dnf/dnf.conf")).constData(), 0640) == 0);
    QVERIFY(
        ::symlink("dnf/dnf.conf", QFile::encodeName(box.path("/etc/yum.conf")).constData()) == 0);
    box.put("/srv/shared/linked.repo", "[linked]\n");
    // A chain of two links, the first one relative.
    QVERIFY(::symlink(QFile::encodeName(box.path("/srv/shared/linked.repo")).constData(),
                QFile::encodeName(box.path("/srv/hop.repo")).constData())
        == 0);
    QVERIFY(::symlink("../../srv/hop.repo",
                QFile::encodeName(box.path("/etc/yum.repos.d/linked.repo")).constData())
        == 0);

    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    for (Repo::Entry& e : f.conf.repos) {
        e.name = "Changed " + e.id;
        if (e.id == "linked")
            e.enabled = Qt::Unchecked;
    }
    QVERIFY(f.conf.write(nullptr));

    QFileInfo const main(box.path("/etc/yum.conf"));
    QVERIFY(main.isSymLink());
    QCOMPARE(QFile::symLinkTarget(box.path("/etc/yum.conf")), box.path("/etc/dnf/dnf.conf"));
    QCOMPARE(box.get("/etc/dnf/dnf.conf"),
        QByteArray("[main]\ngpgcheck=1\n\n[local]\nname=Changed local\n"));
    struct stat st;
    QVERIFY(::stat(QFile::encodeName(box.path("/etc/dnf/dnf.conf")).constData(), &st) == 0);
    QCOMPARE(int(st.st_mode & 07777), 0640);

    QVERIFY(QFileInfo(box.path("/etc/yum.repos.d/linked.repo")).isSymLink());
    QVERIFY(QFileInfo(box.path("/srv/hop.repo")).isSymLink());
    QCOMPARE(box.get("/srv/shared/linked.repo"),
        QByteArray("[linked]\nname=Changed linked\nenabled=0\n"));
    QCOMPARE(temporaryFiles(box.path("/etc")), QStringList());
    QCOMPARE(temporaryFiles(box.path("/srv/shared")), QStringList());
}

void TestYumConfIOSafety::writeAfterFailedRead()
{
    ConfSandbox box;
    box.put("/etc/yum.conf", "[main]\n");
    // Read in directory order, so which of these are read before the broken
    // one is left to chance; none of them may be lost either way.
    for (char const* name : {"a", "c", "e", "g", "i"})
        box.put(QString("/etc/yum.repos.d/%1.repo").arg(name),
            QString("[%1]\nname=%1\n").arg(name).toLatin1());
    box.put("/etc/yum.repos.d/broken.repo", "[b1]\nname=B1\n[b2]\n[b3\n[b4]\n");
    auto const before = box.snapshot();

    ConfFixture f;
    ModalAnswerer& answerer = f.answerer;
    QVERIFY(!f.conf.read(nullptr));
    QCOMPARE(answerer.answered(), 1);
    QVERIFY(std::any_of(f.conf.repos.cbegin(), f.conf.repos.cend(),
        [](Repo::Entry const& e) { return e.id == "b1"; }));

    // The half-read file's sections would replace the whole file: refused.
    QVERIFY(!f.conf.write(nullptr));
    QCOMPARE(answerer.titles().mid(1),
        (QStringList {"VUX Repository Editor Warning", "VUX Repository Editor Error"}));
    QCOMPARE(answerer.texts()[1],
        QString("The repository configuration was not read completely, so no repository file "
                "is removed, and files that were not read are not rewritten."));
    QVERIFY2(answerer.texts()[2].startsWith("Repository configuration file "
                 + box.path("/etc/yum.repos.d/broken.repo") + " was not written"),
        qPrintable(answerer.texts()[2]));
    QCOMPARE(box.snapshot(), before);

    // Everything dropped from the list: still nothing is deleted.
    f.conf.repos.clear();
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(answerer.titles().mid(3), QStringList {"VUX Repository Editor Warning"});
    QCOMPARE(box.snapshot(), before);

    // Once the file is mended, a read and write work as always.
    box.put("/etc/yum.repos.d/broken.repo", "[b1]\nname=B1\n");
    QVERIFY(f.conf.read(nullptr));
    f.conf.repos.removeIf([](Repo::Entry const& e) { return e.id == "b1"; });
    QVERIFY(f.conf.write(nullptr));
    QVERIFY(!box.exists("/etc/yum.repos.d/broken.repo"));
    QCOMPARE(box.get("/etc/yum.repos.d/g.repo"), QByteArray("[g]\nname=g\n"));
}

void TestYumConfIOSafety::writeWithoutRead()
{
    ConfSandbox box;
    box.put("/etc/yum.conf", "[main]\nreposdir=/etc/yum.repos.d\n# keep me\n");
    box.put("/etc/yum.repos.d/a.repo", "[a]\n");
    auto const before = box.snapshot();
    ino_t const mainInode = box.inode("/etc/yum.conf");

    ConfFixture f; // never read: the main file is unknown and stays as it is
    ModalAnswerer& answerer = f.answerer;
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(answerer.titles(), QStringList {"VUX Repository Editor Warning"});
    QCOMPARE(box.snapshot(), before);
    QCOMPARE(box.inode("/etc/yum.conf"), mainInode);

    // A main file whose own reading failed is not rewritten either.
    box.put("/etc/yum.conf", "[main]\n[broken\n");
    ConfFixture g;

    QVERIFY(!g.conf.read(nullptr));
    QVERIFY(g.conf.write(nullptr));
    QCOMPARE(box.get("/etc/yum.conf"), QByteArray("[main]\n[broken\n"));
    QVERIFY(box.exists("/etc/yum.repos.d/a.repo"));
}

void TestYumConfIOSafety::foreignFileRefused_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("refused");

    QTest::newRow("system file") << "/etc/passwd" << true;
    QTest::newRow("other spelling") << "/etc/yum.repos.d/../passwd" << true;
    QTest::newRow("not a .repo in the directory") << "/etc/yum.repos.d/notes.txt" << true;
    QTest::newRow("link to a system file") << "/etc/yum.repos.d/sneaky" << true;
    QTest::newRow("a directory") << "/etc/yum.repos.d" << true;
    QTest::newRow("new file elsewhere") << "/etc/new-place.repo" << false;
    QTest::newRow("existing repository file") << "/etc/yum.repos.d/a.repo" << false;
    QTest::newRow("the main file") << "/etc/yum.conf" << false;
}

void TestYumConfIOSafety::foreignFileRefused()
{
    QFETCH(QString, file);
    QFETCH(bool, refused);

    ConfSandbox box;
    box.put("/etc/yum.conf", "[main]\n");
    box.put("/etc/yum.repos.d/a.repo", "[a]\n");
    box.put("/etc/passwd", "root:x:0:0:root:/root:/bin/bash\n");
    box.put("/etc/yum.repos.d/notes.txt", "remember the milk\n");
    QVERIFY(
        ::symlink("../passwd", QFile::encodeName(box.path("/etc/yum.repos.d/sneaky")).constData())
        == 0);
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    Repo::Entry e;
    e.id = "placed";
    e.file = file;
    f.conf.repos.append(e);
    auto const before = box.snapshot();
    ino_t const mainInode = box.inode("/etc/yum.conf");

    ModalAnswerer& answerer = f.answerer;
    QCOMPARE(f.conf.write(nullptr), !refused);
    if (refused) {
        QCOMPARE(answerer.titles(), QStringList {"VUX Repository Editor Error"});
        QVERIFY2(answerer.texts()[0].contains(" exists but is not a configuration file that was "
                                              "read"),
            qPrintable(answerer.texts()[0]));
        QCOMPARE(box.snapshot(), before); // nothing at all was written
        QCOMPARE(box.inode("/etc/yum.conf"), mainInode);
    } else {
        QCOMPARE(answerer.answered(), 0);
        QVERIFY(box.get(file).contains("[placed]\n"));
        QCOMPARE(box.get("/etc/passwd"), QByteArray("root:x:0:0:root:/root:/bin/bash\n"));
    }
}

void TestYumConfIOSafety::oneFileUnderTwoNames()
{
    ConfSandbox box;
    box.put("/etc/yum.conf", "[main]\n");
    box.put("/etc/yum.repos.d/a.repo", "[a1]\n[a2]\n[a3]\n");
    // The old second default directory as a link to the first one: every
    // file is seen twice.
    QDir().mkpath(box.path("/etc/yum"));
    QVERIFY(::symlink("../yum.repos.d", QFile::encodeName(box.path("/etc/yum/repos.d")).constData())
        == 0);
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(f.conf.repos.size(), 6);

    for (int round = 0; round < 2; ++round) {
        if (round > 0)
            QVERIFY(f.conf.read(nullptr));
        f.answerer.click("yesButton");
        QVERIFY(f.conf.write(nullptr));
        QCOMPARE(f.answerer.answered(), round + 1);
        QCOMPARE(box.get("/etc/yum.repos.d/a.repo"), QByteArray("[a1]\n\n[a2]\n\n[a3]\n"));
    }

    // Differently spelled names of one file make one file, not three that
    // overwrite each other.
    f.conf.repos[1].file = "/etc/yum.repos.d//a.repo";
    f.conf.repos[2].file = "/etc/yum/repos.d/./a.repo";
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(box.get("/etc/yum.repos.d/a.repo"), QByteArray("[a1]\n\n[a2]\n\n[a3]\n"));
}

QTEST_MAIN(TestYumConfIOSafety)
#include "TestYumConfIOSafety.moc"

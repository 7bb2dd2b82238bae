// SPDX-License-Identifier: GPL-2.0-or-later
#include "StartupSupport.h"

#include "packagetable/PackageTableModel.h"
#include "packagetable/PackageTableView.h"
#include "yumio/RowCache.h"

#include <QPushButton>
#include <QStatusBar>

using namespace StartupSupport;

namespace {

QString cacheFile()
{
    return RowCache::fileName(InstallRoot::path());
}

// Whether the cache file on disk would be shown at a start now.
bool cacheValid(QString const& path = cacheFile(), QString const& root = InstallRoot::path())
{
    Package::EntryList rows;
    bool const valid = RowCache::load(path, root, RowCache::options({}), rows);
    return valid && !rows.isEmpty();
}

QByteArray readAll(QString const& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(QString const& path, QByteArray const& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// What the window looked like while it showed the cache's rows, taken from
// inside the start (the collection's event loop).
struct Loading
{
    bool seen = false;
    int rows = 0;
    QString title;
    QString status;
    bool refreshEnabled = true;
    bool marked = false; // Space on a row still marked it
};

} // namespace

class TestRowCache : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(root.make(&error), qPrintable(error));
    }
    void cleanup()
    {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
    void shownThenConfirmed();
    void invalidatedBySystem_data();
    void invalidatedBySystem();
    void damagedFilesIgnored_data();
    void damagedFilesIgnored();
    void notWrittenAfterFailedCollection();

private:
    // A start to its end; the rows it showed from the cache, if any.
    Loading startWindow(QList<YumRepoEnabled> const& options = {})
    {
        Loading loading;
        MainWindow window;
        window.repoEnabledList = options;
        QTimer poll;
        poll.callOnTimeout([&] {
            YumIO* engine = window.engine();
            if (loading.seen || !engine || !engine->showingCachedRows())
                return;
            loading.seen = true;
            PackageTable::View* view = window.packageView();
            loading.rows = window.packageModel()->rowCount();
            loading.title = window.windowTitle();
            loading.status = window.statusBar()->currentMessage();
            loading.refreshEnabled
                = window.findChild<QPushButton*>(QStringLiteral("refreshButton"))->isEnabled();
            view->setFocus();
            view->setCurrentIndex(view->model()->index(1, 1));
            QTest::keyClick(view, Qt::Key_Space);
            loading.marked = engine->marks().size() > 0;
        });
        poll.start(1);
        ModalAnswerer answerer;
        answerer.alwaysClick(QStringLiteral("button0"));
        bool const started = start(window);
        poll.stop();
        if (started && loading.seen) {
            // The same rows again: the view kept its current row.
            loading.seen = window.engine()->cachedRowsKept()
                && window.packageView()->currentIndex().row() == 1
                && window.packageModel()->rowCount() == loading.rows
                && window.windowTitle() != loading.title;
        }
        if (window.engine())
            QMetaObject::invokeMethod(&window, "quit");
        return loading;
    }
    Root root;
};

// The first start writes the cache; the next shows it at once, marks and the
// commands that need the package manager off and "loading" in the title and
// status bar, then keeps the same rows and view once dnf has loaded.
void TestRowCache::shownThenConfirmed()
{
    QFile::remove(cacheFile());
    QVERIFY(!startWindow().seen);
    QVERIFY(cacheValid());
    Loading const second = startWindow();
    QVERIFY(second.seen);
    QVERIFY(second.rows > 5);
    QVERIFY(!second.refreshEnabled && !second.marked);
    QVERIFY2(second.title.contains(MainWindow::tr("(loading)")), qPrintable(second.title));
    QVERIFY(!second.status.isEmpty());
}

void TestRowCache::invalidatedBySystem_data()
{
    QTest::addColumn<QString>("change");
    for (char const* change :
        {"repository added", "repository disabled", "repository refreshed", "rpm install"})
        QTest::newRow(change) << QString::fromLatin1(change);
}

// What the rows are made of changed behind the program's back: the cache is
// no longer shown, and the next collection writes a valid one.
void TestRowCache::invalidatedBySystem()
{
    QFETCH(QString, change);
    startWindow();
    QVERIFY(cacheValid());
    QString const repoDir = root.file(QStringLiteral("/etc/yum.repos.d"));
    QString const updates = repoDir + QStringLiteral("/updates.repo");
    QByteArray const saved = readAll(updates);
    if (change == QLatin1String("repository added")) {
        QVERIFY(writeAll(repoDir + QStringLiteral("/more.repo"),
            "[more]\nname=More\nbaseurl=file:///nowhere\nenabled=0\n"));
    } else if (change == QLatin1String("repository disabled")) {
        QVERIFY(writeAll(updates, saved + "enabled=0\n"));
    } else if (change == QLatin1String("repository refreshed")) {
        QDir cache(root.file(QStringLiteral("/var/cache/yum")));
        QStringList const dirs = cache.entryList({QStringLiteral("updates-*")}, QDir::Dirs);
        QVERIFY(!dirs.isEmpty());
        QString const repomd
            = cache.filePath(dirs.first() + QStringLiteral("/repodata/repomd.xml"));
        QVERIFY(writeAll(repomd, readAll(repomd) + "\n"));
    } else {
        QString const base = Sandbox::repos()[QStringLiteral("repos")]
                                 .toObject()[QStringLiteral("base")]
                                 .toString();
        QCOMPARE(QProcess::execute(QStringLiteral("rpm"),
                     {QStringLiteral("--root"), root.file(), QStringLiteral("-i"),
                         QStringLiteral("--nodeps"), QStringLiteral("--nosignature"),
                         QStringLiteral("--noscripts"), QStringLiteral("--replacepkgs"),
                         base + QStringLiteral("/Packages/cobalt-0.9-1.noarch.rpm")}),
            0);
    }
    QVERIFY(!cacheValid());
    QVERIFY(!startWindow().seen);
    QVERIFY(cacheValid());
    QFile::remove(repoDir + QStringLiteral("/more.repo"));
    QVERIFY(writeAll(updates, saved));
}

void TestRowCache::damagedFilesIgnored_data()
{
    QTest::addColumn<QString>("damage");
    for (char const* damage : {"byte changed", "truncated", "header only", "empty", "bad magic",
             "wrong version", "other root"})
        QTest::newRow(damage) << QString::fromLatin1(damage);
}

// A file that is not whole, not of this format or of another root is never
// read as rows (and a start replaces it).
void TestRowCache::damagedFilesIgnored()
{
    QFETCH(QString, damage);
    if (!cacheValid())
        startWindow();
    QByteArray const good = readAll(cacheFile());
    QVERIFY(good.size() > 100);
    QByteArray bad = good;
    QString path = cacheFile();
    QString otherRoot;
    if (damage == QLatin1String("byte changed")) {
        bad[bad.size() - 30] = char(bad[bad.size() - 30] ^ 0x20);
    } else if (damage == QLatin1String("truncated")) {
        bad.truncate(bad.size() / 2);
    } else if (damage == QLatin1String("header only")) {
        bad.truncate(28);
    } else if (damage == QLatin1String("empty")) {
        bad.clear();
    } else if (damage == QLatin1String("bad magic")) {
        bad[0] = 'X';
    } else if (damage == QLatin1String("wrong version")) {
        bad[8] = char(bad[8] + 1);
    } else {
        otherRoot = root.file(QStringLiteral("-other"));
        path = RowCache::fileName(otherRoot);
    }
    QVERIFY(writeAll(path, bad));
    QVERIFY(!cacheValid(path, otherRoot.isEmpty() ? InstallRoot::path() : otherRoot));
    if (!otherRoot.isEmpty()) {
        QFile::remove(path);
        return;
    }
    QVERIFY(!startWindow().seen);
    QVERIFY(cacheValid());
}

// A collection that fails writes no cache, and leaves none to trust.
void TestRowCache::notWrittenAfterFailedCollection()
{
    startWindow();
    QVERIFY(cacheValid());
    QFile::remove(cacheFile());
    QList<YumRepoEnabled> const none {YumRepoEnabled(false, QStringLiteral("*"))};
    QVERIFY(!startWindow(none).seen);
    QVERIFY(!QFile::exists(cacheFile()));
}

QTEST_MAIN(TestRowCache)
#include "TestRowCache.moc"

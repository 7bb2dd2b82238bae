// SPDX-License-Identifier: GPL-2.0-or-later
#include "config-vux-tests.h"

#include "base/Credentials.h"
#include "base/InstallRoot.h"
#include "packagetable/PackageTableDescribeInstanceRepoDialog.h"
#include "repo/RepoAuthChecker.h"
#include "repo/RepoAuthDialog.h"
#include "repo/RepoBrowse.h"
#include "repo/RepoEditorConfig.h"
#include "repo/RepoEditorConfigDialog.h"
#include "repo/RepoEditorDialog.h"
#include "repo/RepoEditorModel.h"
#include "repo/RepoEditorView.h"
#include "repo/RepoEntry.h"
#include "repo/RepoLarder.h"
#include "repo/URL.h"
#include "repo/YumConfIO.h"
#include "repo/YumRepoEnabled.h"
#include "support/AccessibleCheck.h"
#include "support/EngineFixture.h"
#include "support/ModalAnswerer.h"
#include "support/RecordingBrowser.h"
#include "widgets/PasswdLineEdit.h"
#include "widgets/PasswdTextEdit.h"
#include "yumio/YumIO.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QDirIterator>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The configuration files' install root, file helpers and fixture.
class ConfSandbox
{
public:
    // With /etc/yum.repos.d, and /etc/yum.conf holding main unless null.
    explicit ConfSandbox(QByteArray const& main = "[main]\n")
    {
        InstallRoot::set(dir.path());
        QDir().mkpath(path("/etc/yum.repos.d"));
        if (!main.isNull())
            put("/etc/yum.conf", main);
    }
    ~ConfSandbox()
    {
        if (!full.isEmpty())
            ::umount2(full.constData(), MNT_DETACH);
        InstallRoot::set(QString());
    }
    // The real path of an absolute path inside the root.
    QString path(QString const& inRoot) const { return dir.path() + inRoot; }
    void put(QString const& inRoot, QByteArray const& bytes) const
    {
        QDir().mkpath(QFileInfo(path(inRoot)).absolutePath());
        QFile file(path(inRoot));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    QByteArray get(QString const& inRoot) const
    {
        QFile file(path(inRoot));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    // A symbolic link at inRoot holding target as it stands.
    void link(QByteArray const& target, QString const& inRoot) const
    {
        QVERIFY(::symlink(target.constData(), QFile::encodeName(path(inRoot)).constData()) == 0);
    }
    // "mode uid:gid", the mode in octal.
    QString owner(QString const& inRoot) const
    {
        struct stat st = {};
        ::stat(QFile::encodeName(path(inRoot)).constData(), &st);
        return QString("%1 %2:%3").arg(st.st_mode & 07777, 0, 8).arg(st.st_uid).arg(st.st_gid);
    }
    // Mounts a 64 KiB tmpfs on the directory inside the root and fills it;
    // false (with the reason) where that cannot be done. Unmounted with the
    // sandbox.
    bool mountSmallDisk(QString const& inRoot, QString* why)
    {
        full = QFile::encodeName(path(inRoot));
        if (::geteuid() != 0 || ::mount("tmpfs", full.constData(), "tmpfs", 0, "size=64k") != 0) {
            *why = QString("cannot mount a small tmpfs here: %1").arg(strerror(errno));
            full.clear();
            return false;
        }
        return true;
    }
    // Fills the small file system to its last byte.
    void fill() const
    {
        int const fd = ::open(QByteArray(full + "/filler").constData(), O_WRONLY | O_CREAT, 0644);
        while (::write(fd, QByteArray(4096, 'x').constData(), 4096) > 0) { }
        ::close(fd);
    }
    // Every file and link below the root with its content.
    QHash<QString, QByteArray> snapshot() const
    {
        QHash<QString, QByteArray> files;
        QDirIterator it(dir.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
            QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFileInfo const info(it.next());
            QString const rel = info.filePath().mid(dir.path().size());
            if (info.isSymLink())
                files.insert(rel, "-> " + QFile::encodeName(info.symLinkTarget()));
            else if (!info.isDir())
                files.insert(rel, get(rel));
        }
        return files;
    }

    QTemporaryDir dir;
    QByteArray full; // the small file system's mount point
};

// A YumConfIO with its own options and session use; its boxes get the queued
// answers, then (unless the test answers every dialog itself, as the
// repository editor's do) OK, so an unexpected box fails a test instead of
// hanging it.
struct ConfFixture
{
    explicit ConfFixture(QList<YumRepoEnabled> options = {}, bool answerOk = true)
        : usedOptions(std::move(options))
        , conf(usedOptions, sessionUse)
    {
        if (answerOk)
            answerer.alwaysClick(QStringLiteral("okButton"));
    }
    QList<YumRepoEnabled> usedOptions;
    QHash<QString, bool> sessionUse;
    YumConfIO conf;
    ModalAnswerer answerer;
};

// Every field of every entry, in file order, for "read the same" checks.
QString describe(QList<Repo::Entry> entries)
{
    std::sort(entries.begin(), entries.end(), YumConfIO::filePositionLessThan);
    QStringList fields;
    for (Repo::Entry const& e : entries)
        fields << e.id << e.file << e.name << e.baseurl << e.mirrorlist << e.otherOptions
               << QString("%1 %2 %3\n").arg(e.sortPosition).arg(e.enabled).arg(e.gpgcheck);
    return fields.join('|');
}

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

using RepoEditor::Config;
using RepoEditor::Dialog;

QString const larderUrl = "http://h/larder?user=joe&pass=%1&path=/r";
QByteArray const threeRepos = "[b]\nname=B\nbaseurl=http://b/\nenabled=1\n\n"
                              "[c]\nname=C\nbaseurl=http://c/\n\n"
                              "[a]\nname=A\nbaseurl=http://a/\nenabled=0\n";

template <typename T> T* field(QWidget* dialog, char const* name)
{
    T* widget = dialog->findChild<T*>(QLatin1String(name));
    if (!widget)
        qFatal("no field %s", name);
    return widget;
}

QStringList labelTexts(QWidget* widget)
{
    QStringList labels;
    for (QLabel* label : widget->findChildren<QLabel*>())
        labels << label->text();
    return labels;
}

// The configuration dialog over the sandbox's configuration.
struct Form
{
    explicit Form(QByteArray const& main = "[main]\n")
        : sandbox(main)
    {
        fixture.conf.read(nullptr);
        dialog.reset(new RepoEditor::ConfigDialog(&fixture.conf, nullptr));
    }
    template <typename T> T* get(char const* name) const { return field<T>(dialog.data(), name); }
    QString status() const { return get<QLabel>("status")->text(); }
    // Opens the dialog on entry, shown and active.
    void open(Repo::Entry* entry)
    {
        dialog->setEntry(entry);
        dialog->show();
        dialog->activateWindow();
        [[maybe_unused]] bool const active = QTest::qWaitForWindowActive(dialog.data());
    }
    void press(char const* button) { get<QPushButton>(button)->click(); }

    ConfSandbox sandbox;
    ConfFixture fixture {{}, false};
    QScopedPointer<RepoEditor::ConfigDialog> dialog;
};

// The editor over the sandbox's /etc/yum.repos.d/t.repo.
struct Editor
{
    explicit Editor(QByteArray const& repoFile = threeRepos)
        : sandbox("[main]\n")
    {
        if (!repoFile.isNull())
            sandbox.put("/etc/yum.repos.d/t.repo", repoFile);
        dialog.reset(new Dialog(nullptr, &fixture.conf, nullptr));
        view = dialog->findChild<RepoEditor::View*>();
        tester.reset(new QAbstractItemModelTester(
            view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest));
    }
    void open()
    {
        dialog->show();
        QVERIFY(dialog->isVisible());
    }
    QPushButton* button(char const* name) const { return field<QPushButton>(dialog.data(), name); }
    QString status() const { return field<QLabel>(dialog.data(), "status")->text(); }
    // The view's cell of the entry with identifier id (the first one).
    QModelIndex cell(QString const& id, int column) const
    {
        QAbstractItemModel* model = view->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            if (model->index(row, 2).data().toString() == id)
                return model->index(row, column);
        }
        return QModelIndex();
    }
    QString tip(QString const& id, int column) const
    {
        return cell(id, column).data(Qt::ToolTipRole).toString();
    }
    void click(QString const& id, int column)
    {
        QRect const rect = view->visualRect(cell(id, column));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    }
    void makeCurrent(QString const& id) { view->setCurrentIndex(cell(id, 2)); }
    QString currentId() const
    {
        int const row = view->currentRow();
        return row < 0 ? QString("<none>") : fixture.conf.repos.at(row).id;
    }
    QStringList ids() const
    {
        QStringList list;
        for (Repo::Entry const& e : fixture.conf.repos)
            list << e.id;
        return list;
    }
    // Queues an answer for the configuration dialog: fields set, then OK.
    void answerConfig(QString const& name)
    {
        fixture.answerer.answer([name](QWidget* dialog) {
            field<QLineEdit>(dialog, "name")->setText(name);
            ModalAnswerer::clickButton(dialog, "okButton");
        });
    }
    QByteArray file() const { return sandbox.get("/etc/yum.repos.d/t.repo"); }

    ConfSandbox sandbox;
    ConfFixture fixture {{}, false};
    QScopedPointer<Dialog> dialog;
    QScopedPointer<QAbstractItemModelTester> tester;
    RepoEditor::View* view = nullptr;
};

Repo::Entry entry(QString const& id, QString const& baseurl, QString const& mirrorlist = {})
{
    Repo::Entry e;
    e.id = id;
    e.baseurl = baseurl;
    e.mirrorlist = mirrorlist;
    return e;
}

// dnf's own verdict on each identifier: whether it would load a section
// of that name (dnf.repo.repo_id_invalid finds no bad character).
QList<bool> dnfAccepts(QStringList const& ids)
{
    QProcess dnf;
    dnf.start(QStringLiteral(VUX_TEST_PYTHON),
        {QStringLiteral("-c"),
            QStringLiteral(
                "import dnf.repo, json, sys\n"
                "ids = json.load(sys.stdin)\n"
                "print(json.dumps([dnf.repo.repo_id_invalid(i) is None for i in ids]))")});
    dnf.write(QJsonDocument(QJsonArray::fromStringList(ids)).toJson());
    dnf.closeWriteChannel();
    QList<bool> verdicts;
    if (!dnf.waitForFinished(60000))
        return verdicts;
    for (QJsonValue const& verdict : QJsonDocument::fromJson(dnf.readAllStandardOutput()).array())
        verdicts << verdict.toBool();
    return verdicts;
}

// Answers the checker's prompts in order: types name and password, notes
// what the dialog showed, presses a button (by object name, or Escape).
// Any other box is noted and closed, so that a test fails, not hangs.
struct PromptDriver : QObject
{
    struct Prompt
    {
        QString id, urls, texts, unreachable;
        bool normalCursor;
    };

    PromptDriver()
    {
        connect(&timer, &QTimer::timeout, this, &PromptDriver::poll);
        timer.start(10);
    }
    void answer(QString const& button, QString const& name = {}, QString const& password = {})
    {
        steps << QStringList {button, name, password};
    }
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<RepoAuth::Dialog*>(modal);
        if (!dialog && modal) {
            otherBoxes << ModalAnswerer::dialogText(modal);
            ModalAnswerer::clickButton(modal, QStringLiteral("OK"));
        }
        if (!dialog || !dialog->isPrompting())
            return;
        QStringList const step
            = steps.isEmpty() ? QStringList {"skipAllButton", {}, {}} : steps.takeFirst();
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("nameEdit")), step[1]);
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("passwordEdit")), step[2]);
        Prompt prompt {dialog->findChild<QLabel*>(QStringLiteral("idLabel"))->text(),
            dialog->findChild<QLabel*>(QStringLiteral("urlsLabel"))->text(),
            ModalAnswerer::dialogText(dialog), unreachableControls(dialog).join(QLatin1Char(' ')),
            !QApplication::overrideCursor()};
        prompts << prompt;
        ids << prompt.id;
        if (step[0] == QLatin1String("Escape"))
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            dialog->findChild<QPushButton*>(step[0])->click();
    }

    QTimer timer;
    QList<QStringList> steps;
    QList<Prompt> prompts;
    QStringList ids; // of the prompts
    QStringList otherBoxes;
};

QByteArray section(QString const& id, QString const& host, char const* extra = "")
{
    return QStringLiteral("[%1]\nname=%1\nbaseurl=http://%2/larder?name=&password=&path=/%1/\n%3\n")
        .arg(id, host, QLatin1String(extra))
        .toUtf8();
}

// "name:password" of each larder repository as the files now hold them.
QHash<QString, QString> storedAuth()
{
    ConfFixture f;
    f.conf.read(nullptr);
    QHash<QString, QString> result;
    for (Repo::Entry const& entry : f.conf.repos) {
        QString nameKey, name, passwordKey, password;
        if (Repo::Larder::getAuth(entry, nameKey, name, passwordKey, password))
            result.insert(entry.id, name + QLatin1Char(':') + password);
    }
    return result;
}

} // namespace

// The repository layer over real files in a sandbox root.
//
// Reading and writing yum's configuration, and what a write must never do:
// leave half-written files, break a symbolic link, delete or overwrite files
// that were not read. Real-world configuration files: read, written back and
// read again to the same entries, files already in the written form byte
// for byte; and dnf's own parser reads the originals, and what was written
// after an edit, as YumConfIO does.
//
// The repository editor: its table, its switches, its status line and what
// Apply, OK, Cancel and Reset All leave in the files and in the session; the
// dialog that edits one repository configuration: the form, the larder
// credential fields in step with the URLs, the status line, and OK.
//
// Repository URLs: the larder credentials in them (read, encoded, replaced),
// their host part, the start-up credential check (who is asked, and what each
// answer does to the files and the session; that the engine reads larder
// repositories with what the files hold is the engine suites' concern), and
// which URL a repository opens (the first of its baseurl, else its mirror
// list), with yum's variables filled in by the engine, through a webbrowser
// program that writes down its arguments.
class TestRepo : public QObject
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
    void symlinkedFilesStayLinks();
    void foreignFileRefused_data();
    void foreignFileRefused();
    void oneFileUnderTwoNames();
    void reposDirOnHost();
    void corpus_data();
    void corpus();
    void larderFieldsFollowTheUrls();
    void credentialsTypedOnceReachEveryUrl();
    void status_data();
    void status();
    void okSetsTheEntry();
    void identifierAsDnfReadsIt();
    void formKeyboardAndNames();
    void openingShowsSortedTable();
    void newAndCopiedEntries();
    void permWithoutEnabledWritesZero();
    void removeTwoSelectedRows();
    void cancelRestoresAndForceReports();
    void okWithoutChangesWritesNothing();
    void readFailureShowsNoDialog();
    void fullDiskKeepsFilesAndEdits();
    void editorKeyboardAndNames();
    void credentials_data();
    void credentials();
    void urls_data();
    void urls();
    void answers_data();
    void answers();
    void browse();
};

void TestRepo::roundTrip_data()
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
void TestRepo::roundTrip()
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

void TestRepo::failedRead_data()
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
void TestRepo::failedRead()
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
void TestRepo::reposDirs()
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
void TestRepo::identifierCheck()
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
void TestRepo::sessionUse()
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

void TestRepo::symlinkedFilesStayLinks()
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

void TestRepo::foreignFileRefused_data()
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
void TestRepo::foreignFileRefused()
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

void TestRepo::oneFileUnderTwoNames()
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
void TestRepo::reposDirOnHost()
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

void TestRepo::corpus_data()
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

void TestRepo::corpus()
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

// Larder credentials from a mirror list alone, under its own key names; a
// plain entry has empty, disabled fields under the plain labels until a
// larder URL is typed.
void TestRepo::larderFieldsFollowTheUrls()
{
    Form form;
    Repo::Entry e = entry("m", "http://plain/", "http://h/larder?who=ann%40x&key=s%26c&path=/list");
    form.open(&e);
    auto* name = form.get<QLineEdit>("larderName");
    auto* password = form.get<QLineEdit>("larderPassword");
    QVERIFY(name->isEnabled() && password->isEnabled());
    QCOMPARE(name->text(), "ann@x");
    QCOMPARE(password->text(), "s&c");
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QVERIFY(labelTexts(form.dialog.data()).contains("who"));
    QVERIFY(labelTexts(form.dialog.data()).contains("key"));
    QVERIFY(!form.get<QPushButton>("resetButton")->isEnabled());

    Repo::Entry plain = entry("p", "http://plain/");
    form.dialog->setEntry(&plain);
    QVERIFY(!name->isEnabled() && name->text().isEmpty() && password->text().isEmpty());
    QVERIFY(labelTexts(form.dialog.data()).contains("Password"));
    QVERIFY(!labelTexts(form.dialog.data()).contains("key"));
    auto* urls = form.get<PasswdTextEdit>("urls");
    urls->setFocus();
    QTest::keyClick(urls, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(urls, Qt::Key_Return);
    QTest::keyClicks(urls, "http://h/larder?login=me&secret=&path=/x");
    QVERIFY(name->isEnabled());
    QCOMPARE(name->text(), "me");
    QCOMPARE(form.status(), Config::problemText(Config::NoLarderPassword));
    // Typed into the masked editor: the real text holds what was typed.
    QCOMPARE(urls->realPlainText(), "http://plain/\nhttp://h/larder?login=me&secret=&path=/x");
}

void TestRepo::credentialsTypedOnceReachEveryUrl()
{
    Form form;
    Repo::Entry e
        = entry("r", larderUrl.arg("old") + "\nhttp://plain/\nhttp://g/larder?u=joe&p=old&path=/s",
            "http://m/larder?a=joe&b=old&path=/list");
    Repo::Entry const before = e;
    form.open(&e);
    auto* password = form.get<QLineEdit>("larderPassword");
    password->selectAll();
    QTest::keyClicks(password, "n&w");
    auto* urls = form.get<PasswdTextEdit>("urls");
    auto* mirrorlist = form.get<PasswdLineEdit>("mirrorlist");
    QCOMPARE(urls->realPlainText(),
        larderUrl.arg("n%26w") + "\nhttp://plain/\nhttp://g/larder?user=joe&pass=n%26w&path=/s");
    QCOMPARE(mirrorlist->realText(), "http://m/larder?a=joe&b=n%26w&path=/list");
    // Shown masked (editing inside the mask is the editors' own suite's).
    QVERIFY(!urls->toPlainText().contains("n%26w") && !mirrorlist->text().contains("n%26w"));
    QVERIFY(form.get<QPushButton>("resetButton")->isEnabled());

    // The name too, then Reset puts back the entry's own values.
    auto* name = form.get<QLineEdit>("larderName");
    name->selectAll();
    QTest::keyClicks(name, "ann");
    QVERIFY(mirrorlist->realText().startsWith("http://m/larder?a=ann&b=n%26w"));
    form.press("resetButton");
    QCOMPARE(urls->realPlainText(), before.baseurl);
    QCOMPARE(name->text(), "joe");
    QVERIFY(!form.get<QPushButton>("resetButton")->isEnabled());
    QCOMPARE(e.baseurl, before.baseurl); // untouched until OK
}

void TestRepo::status_data()
{
    QTest::addColumn<QByteArray>("main");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("baseurl");
    QTest::addColumn<QString>("mirrorlist");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("problem"); // -1: none
    auto const row = [](char const* tag, QString const& baseurl, QString const& file, int problem,
                         QByteArray const& main = "[main]\n", QString const& id = "a",
                         QString const& mirrorlist = {}) {
        QTest::newRow(tag) << main << id << baseurl << mirrorlist << file << problem;
    };
    QString const url = "http://a/";
    int const outside = Config::OutsideReposDirs;
    row("no identifier first", "", "x", Config::NoIdentifier, "[main]\n", "");
    row("no URL", "", "", Config::NoUrls);
    row("mirror list is enough", "", "", -1, "[main]\n", "a", url);
    row("main file", url, "/etc/yum.conf", -1);
    row("name merely beginning with the directory", url, "/etc/yum.repos.dx/a.repo", outside);
    row("subdirectory is not read", url, "/etc/yum.repos.d/old/a.repo", outside);
    row("relative name lands in the first directory", url, "a.repo", -1);
    row("no suffix", url, "/etc/yum.repos.d/a.conf", Config::NoRepoSuffix);
    row("reposdir with a trailing slash", url, "/r/a.repo", -1, "[main]\nreposdir=/r/\n");
    row("no reposdir at all", url, "a.repo", outside, "[main]\nreposdir=\n");
    row("no larder name", "http://h/larder?u=&p=x&path=/", "", Config::NoLarderName);
    row("larder in mirror list", url, "", Config::NoLarderPassword, "[main]\n", "a",
        "http://h/larder?u=n&p=&path=/");
}

void TestRepo::status()
{
    QFETCH(QByteArray, main);
    QFETCH(QString, id);
    QFETCH(QString, baseurl);
    QFETCH(QString, mirrorlist);
    QFETCH(QString, file);
    QFETCH(int, problem);
    Form form(main);
    Repo::Entry e = entry(id, baseurl, mirrorlist);
    e.file = file;
    form.open(&e);
    QCOMPARE(
        form.status(), problem < 0 ? QString() : Config::problemText(Config::Problem(problem)));
    QColor const text = form.get<QLabel>("status")->palette().color(QPalette::WindowText);
    QCOMPARE(text,
        problem < 0 ? form.dialog->palette().color(QPalette::WindowText)
                    : QColor(problem == Config::NoIdentifier ? "red" : "darkorange"));
}

// OK writes the form to the entry: a default state, the session use of the
// renamed entry from the main file's default, and a sort position past
// 99.99 unclipped (or accepting the form would move the section in its
// file).
void TestRepo::okSetsTheEntry()
{
    Form form("[main]\nenabled=0\ngpgcheck=1\n");
    Repo::Entry e = entry("a", "http://a/");
    e.enabled = Qt::Checked;
    e.sortPosition = 150;
    form.fixture.sessionUse.insert("a", true);
    form.open(&e);
    QCOMPARE(form.get<QDoubleSpinBox>("sortPosition")->value(), 150.0);
    form.get<QComboBox>("enabled")->setCurrentIndex(1); // the default
    form.get<QLineEdit>("identifier")->setText("b");
    form.press("okButton");
    QCOMPARE(form.dialog->result(), int(QDialog::Accepted));
    QCOMPARE(e.id, "b");
    QCOMPARE(e.enabled, int(Qt::PartiallyChecked));
    QCOMPARE(e.sortPosition, 150.0);
    QCOMPARE(form.fixture.sessionUse.value("b", true), false);
    QCOMPARE(form.fixture.sessionUse.value("a"), true);
}

// A typed identifier is accepted exactly when dnf accepts it; otherwise OK
// is off and says why, and the entry is left as it was. An identifier read
// from a file stays acceptable as it is.
void TestRepo::identifierAsDnfReadsIt()
{
    QStringList const ids {"updates-testing_2.0:x86", "my extra", "tab\there", "slash/ed",
        "$releasever", "a=b", "[x]", "hash#", "quote'", "caf\u00e9", "\u00dcber", "Z9"};
    QList<bool> const accepted = dnfAccepts(ids);
    QCOMPARE(accepted.size(), ids.size());
    QVERIFY(accepted.contains(true) && accepted.contains(false));
    for (qsizetype i = 0; i < ids.size(); ++i) {
        Form form;
        Repo::Entry e = entry("old", "http://a/");
        form.open(&e);
        form.get<QLineEdit>("identifier")->setText(ids[i]);
        auto* ok = form.get<QPushButton>("okButton");
        QVERIFY2(ok->isEnabled() == accepted[i], qPrintable(ids[i]));
        if (!accepted[i]) {
            QCOMPARE(ok->toolTip(), form.status());
            QCOMPARE(ok->accessibleDescription(), form.status());
        }
        QVERIFY(QMetaObject::invokeMethod(form.dialog.data(), "ok"));
        QCOMPARE(e.id, accepted[i] ? ids[i] : QStringLiteral("old"));
    }
    Form form;
    Repo::Entry e = entry("fedora-$releasever", "http://a/");
    form.open(&e);
    QVERIFY(form.get<QPushButton>("okButton")->isEnabled());
    QVERIFY(form.status().isEmpty());
}

// Tab reaches every input without typing into the URLs or the options;
// every input and button has a name.
void TestRepo::formKeyboardAndNames()
{
    Form form;
    Repo::Entry e = entry("a", larderUrl.arg("p"));
    form.open(&e);
    QSet<QString> reached;
    form.get<QLineEdit>("identifier")->setFocus();
    for (int i = 0; i < 40; ++i) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus);
        // A spin box's focus sits on its inner line edit.
        reached.insert(
            (focus->objectName().isEmpty() ? focus->parentWidget() : focus)->objectName());
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    for (char const* input : {"identifier", "name", "urls", "mirrorlist", "larderName",
             "larderPassword", "enabled", "gpgcheck", "otherOptions", "file", "sortPosition"}) {
        QVERIFY2(reached.contains(input), input);
        QVERIFY(!form.get<QWidget>(input)->accessibleName().isEmpty());
    }
    for (char const* button : {"resetButton", "cancelButton", "okButton"})
        QVERIFY(!form.get<QPushButton>(button)->accessibleName().isEmpty());
    QCOMPARE(form.get<PasswdTextEdit>("urls")->realPlainText(), larderUrl.arg("p"));
    QVERIFY(form.get<QTextEdit>("otherOptions")->toPlainText().isEmpty());
}

// Sorted as last time by its own order; Sess: used in this session (b) or
// not (a); Perm: enabled=1 (b), absent (c, the default yes) or 0 (a).
void TestRepo::openingShowsSortedTable()
{
    Editor editor;
    editor.view->horizontalHeader()->setSortIndicator(3, Qt::DescendingOrder);
    editor.open();
    QStringList shown;
    for (int row = 0; row < 3; ++row)
        shown << editor.view->model()->index(row, 2).data().toString();
    QCOMPARE(shown, QStringList({"a", "b", "c"}));
    QCOMPARE(editor.view->horizontalHeader()->sortIndicatorSection(), 2);
    QCOMPARE(editor.tip("c", 1), editor.tip("b", 1));
    QVERIFY(editor.tip("a", 1) != editor.tip("b", 1));
    QVERIFY(editor.tip("a", 0) != editor.tip("b", 0));
    QVERIFY(!editor.cell("b", 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    QVERIFY(!editor.button("editButton")->isEnabled());
    QVERIFY(!editor.button("applyButton")->isEnabled());
    QVERIFY(editor.status().isEmpty());
}

// A copy stays in its original's file after it and repeats its identifier;
// a new entry without one shows "(new)"; the status line says so.
void TestRepo::newAndCopiedEntries()
{
    {
        Editor editor;
        editor.open();
        editor.makeCurrent("b");
        editor.answerConfig("B copy");
        editor.button("copyButton")->click();
        QCOMPARE(editor.ids(), QStringList({"b", "c", "a", "b"}));
        Repo::Entry const copy = editor.fixture.conf.repos.last();
        QCOMPARE(copy.name, "B copy");
        QCOMPARE(copy.file, "/etc/yum.repos.d/t.repo");
        QCOMPARE(copy.sortPosition, 1.0);
        QCOMPARE(editor.status(), Dialog::statusText(Dialog::DuplicateIdentifier, "b"));
        QCOMPARE(
            field<QLabel>(editor.dialog.data(), "status")->palette().color(QPalette::WindowText),
            QColor("red"));
    }
    // (The answerer answers a dialog once: another editor, another dialog.)
    Editor added;
    added.open();
    added.answerConfig("Nameless");
    added.button("addButton")->click();
    QCOMPARE(added.ids().last(), "");
    QCOMPARE(added.currentId(), "");
    QModelIndex const id = added.view->model()->index(added.view->currentIndex().row(), 2);
    QCOMPARE(id.data().toString(), "(new)");
    QVERIFY(id.data(Qt::FontRole).value<QFont>().italic());
    QVERIFY(!added.cell("a", 2).data(Qt::FontRole).isValid());
    QCOMPARE(added.status(), Dialog::statusText(Dialog::NoIdentifier));
    QVERIFY(added.button("applyButton")->isEnabled());
}

// Perm switched off where the file has no enabled line writes one; the
// current row stays across Apply, whatever the sort.
void TestRepo::permWithoutEnabledWritesZero()
{
    Editor editor;
    editor.open();
    editor.view->sortByColumn(2, Qt::DescendingOrder);
    editor.click("c", 1);
    QCOMPARE(editor.tip("c", 1), editor.tip("a", 1));
    QCOMPARE(editor.status(), Dialog::statusText(Dialog::UnappliedChanges));
    QSignalSpy changed(editor.dialog.data(), &Dialog::reposChanged);
    editor.makeCurrent("b");
    editor.button("applyButton")->click();
    QVERIFY(editor.file().contains("[c]\nname=C\nbaseurl=http://c/\nenabled=0\n"));
    QVERIFY(editor.status().isEmpty());
    QVERIFY(!editor.button("applyButton")->isEnabled());
    QCOMPARE(editor.currentId(), "b");
    QVERIFY(editor.button("editButton")->isEnabled());
    editor.dialog->reject();
    QCOMPARE(changed.count(), 1); // applied
}

void TestRepo::removeTwoSelectedRows()
{
    Editor editor(threeRepos + "\n[d]\nname=D\n");
    editor.open();
    editor.makeCurrent("d");
    editor.view->selectionModel()->select(
        editor.cell("b", 2), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    editor.button("removeButton")->click();
    QCOMPARE(editor.ids(), QStringList({"c", "a"}));
    QCOMPARE(editor.currentId(), "<none>");
    QVERIFY(!editor.button("removeButton")->isEnabled());
    editor.button("okButton")->click();
    QVERIFY(!editor.dialog->isVisible());
    QCOMPARE(editor.file(),
        "[c]\nname=C\nbaseurl=http://c/\n\n[a]\nname=A\nbaseurl=http://a/\nenabled=0\n");
}

void TestRepo::cancelRestoresAndForceReports()
{
    Editor editor;
    editor.dialog->forceReposChanged = true;
    editor.open();
    QSignalSpy changed(editor.dialog.data(), &Dialog::reposChanged);
    editor.click("a", 0);
    editor.click("b", 1);
    editor.makeCurrent("c");
    editor.button("cancelButton")->click();
    QVERIFY(!editor.dialog->isVisible());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(editor.fixture.sessionUse.value("a"), false);
    QCOMPARE(editor.fixture.conf.repos.at(0).enabled, int(Qt::Checked));
    QCOMPARE(editor.file(), threeRepos);
}

void TestRepo::okWithoutChangesWritesNothing()
{
    Editor editor;
    editor.open();
    QHash<QString, QByteArray> const before = editor.sandbox.snapshot();
    QSignalSpy changed(editor.dialog.data(), &Dialog::reposChanged);
    editor.makeCurrent("b");
    editor.fixture.answerer.click("okButton"); // unchanged: the configuration dialog rejects
    editor.button("editButton")->click();
    QVERIFY(!editor.button("applyButton")->isEnabled());
    editor.button("okButton")->click();
    QCOMPARE(editor.dialog->result(), int(QDialog::Accepted));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(editor.sandbox.snapshot(), before);
}

void TestRepo::readFailureShowsNoDialog()
{
    Editor editor(threeRepos + "[broken\n");
    QSignalSpy changed(editor.dialog.data(), &Dialog::reposChanged);
    editor.fixture.answerer.click("okButton");
    editor.dialog->forceReposChanged = true;
    QCOMPARE(editor.dialog->exec(), int(QDialog::Rejected));
    QVERIFY(!editor.dialog->isVisible());
    QCOMPARE(editor.fixture.answerer.answered(), 1); // why, as failedRead checks
    QCOMPARE(changed.count(), 0); // files untouched: failedRead
}

// A write on a full disk: the error is shown, the files stay whole and no
// temporary file is left; the dialog stays open with the edits.
void TestRepo::fullDiskKeepsFilesAndEdits()
{
    Editor editor {QByteArray()};
    QString why;
    if (!editor.sandbox.mountSmallDisk("/etc/yum.repos.d", &why))
        QSKIP(qPrintable(why));
    editor.sandbox.put("/etc/yum.repos.d/t.repo", threeRepos);
    editor.sandbox.fill();
    auto const before = editor.sandbox.snapshot();
    editor.open();
    editor.makeCurrent("c");
    // More than a page: overwriting in place would run out of space midway.
    QString const renamed = "C " + QString(6000, 'o');
    editor.answerConfig(renamed);
    editor.button("editButton")->click();
    int const shown = editor.fixture.answerer.answered();
    editor.fixture.answerer.click("okButton"); // the write error
    editor.button("okButton")->click();
    QVERIFY(editor.dialog->isVisible());
    QCOMPARE(editor.fixture.answerer.answered(), shown + 1);
    QVERIFY(editor.fixture.answerer.texts().last().contains("No space left on device"));
    QCOMPARE(editor.sandbox.snapshot(), before);
    QCOMPARE(editor.cell("c", 3).data().toString(), renamed);
    QCOMPARE(editor.currentId(), "c");
    QCOMPARE(editor.status(), Dialog::statusText(Dialog::UnappliedChanges));
    QVERIFY(editor.button("applyButton")->isEnabled());
}

// Every button named and reached by Tab, Apply the default; Tab leaves the
// table, Space toggles the current session switch (twice: no configuration
// change, still a change of the session), Return edits the row.
void TestRepo::editorKeyboardAndNames()
{
    Editor editor;
    editor.open();
    for (QPushButton* button :
        editor.dialog->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly))
        QVERIFY(!button->accessibleName().isEmpty() && (button->focusPolicy() & Qt::TabFocus));
    QVERIFY(!editor.view->accessibleName().isEmpty());
    QVERIFY(!editor.button("addButton")->isDefault() && editor.button("applyButton")->isDefault());
    editor.dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(editor.dialog.data()));
    editor.view->setFocus();
    QTest::keyClick(editor.view, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != editor.view);
    editor.view->setFocus();
    editor.view->setCurrentIndex(editor.cell("a", 0));
    QSignalSpy changed(editor.dialog.data(), &Dialog::reposChanged);
    QTest::keyClick(editor.view, Qt::Key_Space);
    QCOMPARE(editor.fixture.sessionUse.value("a"), true);
    QTest::keyClick(editor.view, Qt::Key_Space);
    QCOMPARE(editor.fixture.sessionUse.value("a"), false);
    QVERIFY(!editor.button("applyButton")->isEnabled());
    editor.fixture.answerer.click("cancelButton");
    QTest::keyClick(editor.view, Qt::Key_Return);
    QCOMPARE(editor.fixture.answerer.titles(),
        QStringList(editor.dialog->findChild<RepoEditor::ConfigDialog*>()->windowTitle()));
    editor.dialog->reject();
    QCOMPARE(changed.count(), 1);
}

void TestRepo::answers_data()
{
    QTest::addColumn<QByteArray>("repos");
    QTest::addColumn<QStringList>("answers"); // "button name password", one a prompt
    QTest::addColumn<QString>("asked");
    // "changed", "quit", "off:ID" (left out of the session), "idle" (no busy cursor to keep)
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QString>("stored"); // "ID=NAME:PASSWORD" of every repository
    QByteArray const abc = section("a", "h1") + section("b", "h2") + section("c", "h3");
    // Only repositories in use without credentials are asked about.
    QTest::newRow("asks only for missing credentials")
        << section("off", "h1", "enabled=0") + section("a", "h1")
            + "[named]\nbaseurl=http://h1/larder?name=bob&password=&path=/named/\n\n"
              "[plain]\nbaseurl=http://h1/plain/\n\n"
              "[mirror]\nmirrorlist=http://h2/larder?user=&pass=&path=/list\n\n"
            + section("b", "h1")
        << QStringList {"okButton alice p&ss+w=rd", "skipAllButton"} << "a mirror"
        << "changed idle"
        << "a=alice:p&ss+w=rd off=: b=: mirror=: named=bob:";
    // Apply to All with this Host and Apply to All fill entries without asking.
    QTest::newRow("apply to host, disable, apply to all")
        << section("h1a", "h1:80") + section("h1b", "h1:80") + section("h2", "h1:81")
            + section("h3", "h3")
        << QStringList {"applyHostButton host pw", "disableButton typed lost",
               "applyAllButton all pw"}
        << "h1a h2 h3"
        << "changed off:h2"
        << "h1a=host:pw h1b=host:pw h2=: h3=all:pw";
    QTest::newRow("quit keeps earlier answers")
        << abc << QStringList {"okButton first pw", "quitButton second pw2"} << "a b"
        << "changed quit"
        << "a=first:pw b=: c=:";
    // OK with empty fields and Escape (as Skip All) leave the files alone.
    QTest::newRow("empty answers write nothing")
        << "# kept\n" + abc << QStringList {"okButton", "Escape typed pw"} << "a b"
        << ""
        << "a=: b=: c=:";
}

// The user is asked with the normal cursor; the caller's busy cursor comes
// back once. The preview shows where the credentials go, hidden, one mask
// character per typed character.
void TestRepo::answers()
{
    QFETCH(QByteArray, repos);
    QFETCH(QStringList, answers);
    QFETCH(QString, asked);
    QFETCH(QString, outcome);
    QFETCH(QString, stored);
    ConfSandbox sandbox;
    sandbox.put("/etc/yum.repos.d/t.repo", repos);
    auto const before = sandbox.snapshot();
    PromptDriver driver;
    for (QString const& answer : answers) {
        QStringList const a = answer.split(' ');
        driver.answer(a[0], a.value(1), a.value(2));
    }
    bool const busy = !outcome.contains("idle");
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    ConfFixture f({}, false);
    RepoAuth::Checker check(nullptr, &f.conf);
    QCOMPARE(driver.otherBoxes, QStringList());
    if (busy) {
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QApplication::restoreOverrideCursor();
    }
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(driver.ids.join(' '), asked);
    QChar const hide(QApplication::style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter));
    for (qsizetype i = 0; i < driver.prompts.size(); ++i) {
        PromptDriver::Prompt const& prompt = driver.prompts[i];
        QVERIFY2(
            prompt.normalCursor && prompt.unreachable.isEmpty(), qPrintable(prompt.unreachable));
        QStringList const typed = answers.value(i).split(' ').mid(1);
        for (QString const& text : typed)
            QVERIFY2(prompt.urls.contains('=' + QString(text.size(), hide) + '&'),
                qPrintable(prompt.urls));
        QVERIFY(typed.size() < 2 || !prompt.texts.contains(typed[1]));
    }
    QCOMPARE(check.changed, outcome.contains("changed"));
    QCOMPARE(check.quit, outcome.contains("quit"));
    for (QString const& id : outcome.split(' ').filter("off:"))
        QCOMPARE(f.sessionUse.value(id.mid(4), true), false);
    QHash<QString, QString> const auth = storedAuth();
    QStringList got;
    for (QString const& id : stored.split(' '))
        got << id.section('=', 0, 0) + '=' + auth.value(id.section('=', 0, 0));
    QCOMPARE(got.join(' '), stored);
    if (!check.changed)
        QCOMPARE(sandbox.snapshot(), before);
}

void TestRepo::credentials_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("args"); // of replaceAuth after the text; none: no call
    QTest::addColumn<QString>("replaced"); // null: unchanged
    QTest::addColumn<QStringList>("auth"); // getAuth of the result; empty: none found

    auto const row
        = [](char const* tag, QString const& text, QStringList const& args, QString const& replaced,
              QStringList const& auth) { QTest::newRow(tag) << text << args << replaced << auth; };
    QString const one = "http://h/larder?u=old&p=old&path=/r";
    QString const two = "http://a/larder?u=one&p=1&path=/x\nhttp://b/larder?user=two&pw=2&path=/y";
    row("escapes of either case", "/larder?u=a%26b%3Dc&p=p%25w%20d&path=x", {}, {},
        {"u", "a&b=c", "p", "p%w d"});
    row("empty values", "/larder?u=&p=&path=", {}, {}, {"u", "", "p", ""});
    row("no path parameter", "http://h/larder?u=a&p=b&x=y", {}, {}, {});
    row("no larder step", "http://h/repo/?u=a&p=b&path=c", {}, {}, {});
    row("every reserved character", one, {"$&+,/:;=?@ \"<>#%{}|\\^~[]", "-"},
        "http://h/larder?u=%24%26%2b%2c%2f%3a%3b%3d%3f%40%20%22%3c%3e%23%25%7b%7d%7c%5c%5e%7e"
        "%5b%5d&p=-&path=/r",
        {"u", "$&+,/:;=?@ \"<>#%{}|\\^~[]", "p", "-"});
    row("unreserved and non-ASCII kept", one, {QString::fromUtf8("a-b_c.d!*'()ü日本"), "pw"},
        QString::fromUtf8("http://h/larder?u=a-b_c.d!*'()ü日本&p=pw&path=/r"),
        {"u", QString::fromUtf8("a-b_c.d!*'()ü日本"), "p", "pw"});
    row("escape look-alikes", one, {"%41", "%2525"}, "http://h/larder?u=%2541&p=%252525&path=/r",
        {"u", "%41", "p", "%2525"});
    row("backslashes", one, {"\\1\\0"}, "http://h/larder?u=old&p=%5c1%5c0&path=/r",
        {"u", "old", "p", "\\1\\0"});
    row("new keys, every URL", two, {"a b", "n", "c&d", "s"},
        "http://a/larder?a%20b=n&c%26d=s&path=/x\nhttp://b/larder?a%20b=n&c%26d=s&path=/y",
        {"a b", "n", "c&d", "s"});
    row("name and password: keys of the first URL", two, {"me", "new"},
        "http://a/larder?u=me&p=new&path=/x\nhttp://b/larder?u=me&p=new&path=/y",
        {"u", "me", "p", "new"});
    row("password: name of the first URL", two, {"new"},
        "http://a/larder?u=one&p=new&path=/x\nhttp://b/larder?u=one&p=new&path=/y",
        {"u", "one", "p", "new"});
    row("no larder URL", "http://h/repo/ http://i/repo/", {"n", "s"}, {}, {});
}

void TestRepo::credentials()
{
    QFETCH(QString, text);
    QFETCH(QStringList, args);
    QFETCH(QString, replaced);
    QFETCH(QStringList, auth);

    QString result = text;
    if (args.size() == 4)
        result = Repo::Larder::replaceAuth(text, args[0], args[1], args[2], args[3]);
    else if (args.size() == 2)
        result = Repo::Larder::replaceAuth(text, args[0], args[1]);
    else if (args.size() == 1)
        result = Repo::Larder::replaceAuth(text, args[0]);
    QCOMPARE(result, replaced.isNull() ? text : replaced);

    QStringList const untouched {"k1", "k2", "k3", "k4"};
    QStringList got = untouched;
    QCOMPARE(Repo::Larder::getAuth(result, got[0], got[1], got[2], got[3]), !auth.isEmpty());
    QCOMPARE(got, auth.isEmpty() ? untouched : auth);
}

void TestRepo::urls_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("host");
    auto const row = [](char const* tag, char const* url, char const* host) {
        QTest::newRow(tag) << QString::fromLatin1(url) << QString::fromLatin1(host);
    };
    row("no path", "https://mirror.example.org", "mirror.example.org");
    row("user and port kept", "ftp://bob@h.example:2121/x", "bob@h.example:2121");
    row("no slashes after the colon", "mailto:bob@example.org", "");
    row("no colon", "/srv/repo", "");
}

void TestRepo::urls()
{
    QFETCH(QString, url);
    QFETCH(QString, host);
    QCOMPARE(URL::getHost(url), host);
}

void TestRepo::browse()
{
    EngineFixture fixture;
    QString error;
    QVERIFY2(fixture.start(EngineFixture::local(), true, &error), qPrintable(error));
    YumIO& engine = fixture.engine();

    // The engine has read its script: from now on the share directory is
    // one whose browser only writes its arguments down.
    RecordingBrowser share;
    QStringList values;
    for (char const* name : {"releasever", "basearch", "arch"})
        values << engine.getYumVar(QLatin1String(name));
    QVERIFY(!values.contains(QString()));
    Repo::Entry entry;
    entry.baseurl = QStringLiteral("\nhttp://h/larder?name=n&password=p%20w&path=/$releasever/"
                                   "$basearch/$arch/$infra/$releasever\nhttp://second/");
    RepoBrowse::browse(fixture.window(), entry, &engine);
    QCOMPARE(share.browsed(1),
        QStringList(
            QStringLiteral("1:http://h/larder?name=n&password=p%20w&path=/%1/%2/%3/$infra/%1")
                .arg(values[0], values[1], values[2])));

    // The repository description shows the repository's own rows, in place
    // of an earlier one's, credentials masked; its button browses the
    // repository shown, even after the configuration it came from has
    // changed; a baseurl without URLs gives way to the mirror list.
    PackageTable::Describe::Instance::RepoDialog dialog(&engine);
    entry.baseurl = QStringLiteral("http://a.example/one/\nhttp://a.example/two/");
    dialog.config(entry);
    dialog.show();
    dialog.hide();
    entry.id = QStringLiteral("mirrored");
    entry.baseurl.clear();
    entry.mirrorlist = QStringLiteral("http://h/larder?name=ann&password=s3cret&path=/$basearch/");
    dialog.config(entry);
    QCOMPARE(unreachableControls(&dialog), QStringList());
    QString labels;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        labels += label->text() + '|';
    QVERIFY2(labels.startsWith("mirrored|") && labels.contains(Credentials::mask)
            && !labels.contains("s3cret") && !labels.contains("a.example"),
        qPrintable(labels));
    entry.mirrorlist = QStringLiteral("http://changed/");
    dialog.findChild<QPushButton*>(QStringLiteral("browseButton"))->click();
    QCOMPARE(share.browsed(1),
        QStringList("1:http://h/larder?name=ann&password=s3cret&path=/" + values[1] + '/'));

    // By identifier; one no longer configured, like an entry without URLs,
    // gets the message and starts nothing.
    ConfFixture conf({}, false);
    QVERIFY(conf.conf.read(nullptr));
    RepoBrowse::browse(fixture.window(), QStringLiteral("updates"), &engine, &conf.conf);
    QStringList const opened = share.browsed(1);
    QVERIFY2(opened.value(0).startsWith(QStringLiteral("1:file:///"))
            && opened.value(0).endsWith(QStringLiteral("/updates/")),
        qPrintable(opened.value(0)));
    fixture.answerer().click(QStringLiteral("OK"));
    RepoBrowse::browse(fixture.window(), QStringLiteral("gone"), &engine, &conf.conf);
    fixture.answerer().click(QStringLiteral("OK"));
    RepoBrowse::browse(fixture.window(), Repo::Entry(), &engine);
    QStringList const said = fixture.answerer().texts();
    QVERIFY(said.size() == 2 && said[0] == said[1] && !said[0].isEmpty());
    QCOMPARE(share.browsed(0), QStringList());

    // A browser that cannot be started (none as root): the reason, and the
    // URL without its password.
    share.refuse("webbrowser: not opening a browser or viewer as root");
    fixture.answerer().click(QStringLiteral("OK"));
    entry.baseurl = QStringLiteral("http://h/larder?name=n&password=secret&path=/r/");
    entry.mirrorlist.clear();
    RepoBrowse::browse(fixture.window(), entry, &engine);
    QString const refused = fixture.answerer().texts().value(2);
    QVERIFY2(refused.contains(QLatin1String("not opening a browser"))
            && refused.contains("http://h/") && !refused.contains(QLatin1String("secret")),
        qPrintable(refused));
    QCOMPARE(share.browsed(0), QStringList());
}

QTEST_MAIN(TestRepo)
#include "TestRepo.moc"
